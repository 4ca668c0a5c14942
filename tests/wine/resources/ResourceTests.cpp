// The program's resources as the platform sees them: strings, both dialogs, the icon, and the
// manifest that selects common controls 6. Expected texts are UTF-16 escapes so that the source
// encoding cannot make a wrong script look right.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cwctype>
#include <string>
#include <vector>

#include "base/LoadedLibrary.h"
#include "resources/resource.h"

namespace {
const wchar_t kTitle[] = L"\u3010Kiriha\u3011Umbrane\u3000\uff30\uff36\u3010\u5f71\u7d75\u3011";
const wchar_t kConfigTitle[] =
    L"\u3010Kiriha\u3011Umbrane\u3000\uff30\uff36\u3010\u5f71\u7d75\u3011"
    L"\u30b9\u30af\u30ea\u30fc\u30f3\u30bb\u30fc\u30d0\u30fc";

HINSTANCE Module() { return GetModuleHandleW(nullptr); }

std::wstring Lowercase(std::wstring text) {
  std::transform(text.begin(), text.end(), text.begin(), [](wchar_t c) { return std::towlower(c); });
  return text;
}

std::wstring WindowText(HWND window) {
  wchar_t buffer[512] = {};
  GetWindowTextW(window, buffer, 512);
  return buffer;
}

std::wstring ClassName(HWND window) {
  wchar_t buffer[256] = {};
  GetClassNameW(window, buffer, 256);
  return buffer;
}

LONG Style(HWND window) { return GetWindowLongW(window, GWL_STYLE); }

INT_PTR CALLBACK IgnoringDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

void InitialiseCommonControls() {
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_STANDARD_CLASSES | ICC_BAR_CLASSES | ICC_LINK_CLASS};
  ASSERT_TRUE(InitCommonControlsEx(&controls));
}

// A modeless copy of one dialog template, destroyed with the test.
class DialogFromTemplate {
 public:
  explicit DialogFromTemplate(int id)
      : window(CreateDialogParamW(Module(), MAKEINTRESOURCEW(id), nullptr, IgnoringDialogProc, 0)) {}
  ~DialogFromTemplate() {
    if (window) DestroyWindow(window);
  }
  DialogFromTemplate(const DialogFromTemplate&) = delete;
  DialogFromTemplate& operator=(const DialogFromTemplate&) = delete;

  HWND Get() const { return window; }
  // Position and size are converted separately, as the dialog manager does.
  RECT DialogUnitsToPixels(int x, int y, int width, int height) const {
    RECT place = {x, y, width, height};
    MapDialogRect(window, &place);
    return {place.left, place.top, place.left + place.right, place.top + place.bottom};
  }
  RECT ChildRect(HWND child) const {
    RECT rect = {};
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
  }

 private:
  HWND window;
};

enum class Kind {
  Label,
  ValueLabel,
  Placeholder,
  DropDownList,
  EditableDropDown,
  Trackbar,
  CheckBox,
  RadioGroupStart,
  Radio,
  PushButton,
  DefaultButton,
  Link
};

struct ControlSpec {
  int id;
  Kind kind;
  const wchar_t* text;
  int x, y, width, height;
};

const wchar_t* ExpectedClass(Kind kind) {
  switch (kind) {
    case Kind::Label:
    case Kind::ValueLabel:
    case Kind::Placeholder:
      return L"static";
    case Kind::DropDownList:
    case Kind::EditableDropDown:
      return L"combobox";
    case Kind::Trackbar:
      return L"msctls_trackbar32";
    case Kind::Link:
      return L"syslink";
    default:
      return L"button";
  }
}

void ExpectStyleOf(HWND control, Kind kind) {
  const LONG style = Style(control);
  const LONG buttonType = style & BS_TYPEMASK;
  switch (kind) {
    case Kind::ValueLabel:
      EXPECT_EQ(style & SS_TYPEMASK, SS_RIGHT);
      EXPECT_TRUE(GetWindowLongW(control, GWL_EXSTYLE) & WS_EX_STATICEDGE);
      break;
    case Kind::Placeholder:
      // The dialog manager may turn a child's WS_BORDER into a client edge.
      EXPECT_TRUE((style & WS_BORDER) || (GetWindowLongW(control, GWL_EXSTYLE) & WS_EX_CLIENTEDGE));
      break;
    case Kind::DropDownList:
      EXPECT_EQ(style & 3, CBS_DROPDOWNLIST);
      EXPECT_FALSE(style & CBS_SORT);
      break;
    case Kind::EditableDropDown:
      EXPECT_EQ(style & 3, CBS_DROPDOWN);
      EXPECT_TRUE(style & CBS_SORT);
      EXPECT_TRUE(style & CBS_AUTOHSCROLL);
      break;
    case Kind::Trackbar:
      EXPECT_TRUE(style & TBS_AUTOTICKS);
      break;
    case Kind::CheckBox:
      EXPECT_EQ(buttonType, BS_AUTOCHECKBOX);
      break;
    case Kind::RadioGroupStart:
      EXPECT_EQ(buttonType, BS_AUTORADIOBUTTON);
      EXPECT_TRUE(style & WS_GROUP);
      break;
    case Kind::Radio:
      EXPECT_EQ(buttonType, BS_AUTORADIOBUTTON);
      EXPECT_FALSE(style & WS_GROUP);
      break;
    case Kind::PushButton:
      EXPECT_EQ(buttonType, BS_PUSHBUTTON);
      break;
    case Kind::DefaultButton:
      EXPECT_EQ(buttonType, BS_DEFPUSHBUTTON);
      break;
    default:
      break;
  }
}

// Every control of a table exists with its class, text, style and place; only the placeholder
// is hidden and none is disabled.
void ExpectControls(const DialogFromTemplate& dialog, const std::vector<ControlSpec>& controls) {
  for (const ControlSpec& wanted : controls) {
    SCOPED_TRACE(::testing::Message() << "control " << wanted.id);
    HWND control = GetDlgItem(dialog.Get(), wanted.id);
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(Lowercase(ClassName(control)), ExpectedClass(wanted.kind));
    if (wanted.text) {
      EXPECT_EQ(WindowText(control), wanted.text);
    }
    ExpectStyleOf(control, wanted.kind);
    EXPECT_EQ((Style(control) & WS_VISIBLE) == 0, wanted.kind == Kind::Placeholder);
    EXPECT_FALSE(Style(control) & WS_DISABLED);

    const RECT expected = dialog.DialogUnitsToPixels(wanted.x, wanted.y, wanted.width, wanted.height);
    const RECT actual = dialog.ChildRect(control);
    EXPECT_EQ(actual.left, expected.left);
    EXPECT_EQ(actual.top, expected.top);
    EXPECT_EQ(actual.right, expected.right);
    // A combo box's window is as high as its edit field; the template height is the list's.
    if (wanted.kind != Kind::DropDownList && wanted.kind != Kind::EditableDropDown) {
      EXPECT_EQ(actual.bottom, expected.bottom);
    }
  }
}

// The texts of the controls that have no identifier, in template order.
std::vector<std::wstring> UnnamedLabels(HWND dialog) {
  std::vector<std::wstring> labels;
  for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (static_cast<WORD>(GetDlgCtrlID(child)) == 0xFFFF) labels.push_back(WindowText(child));
  }
  return labels;
}

void ExpectClientSize(const DialogFromTemplate& dialog, int width, int height) {
  const RECT expected = dialog.DialogUnitsToPixels(0, 0, width, height);
  RECT client = {};
  GetClientRect(dialog.Get(), &client);
  EXPECT_EQ(client.right, expected.right);
  EXPECT_EQ(client.bottom, expected.bottom);
}

void ExpectModalFramePopup(HWND dialog) {
  const LONG style = Style(dialog);
  EXPECT_TRUE(style & WS_POPUP);
  EXPECT_EQ(style & WS_CAPTION, WS_CAPTION);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_TRUE(style & DS_MODALFRAME);
}
}  // namespace

TEST(StringTable, HoldsTheTitleAndTheSettingsTexts) {
  const struct {
    UINT id;
    const wchar_t* text;
  } strings[] = {
      {IDS_TITLE, kTitle},
      {IDS_MAG_ACTUAL_SIZE, L"\u7b49\u500d\u8868\u793a"},
      {IDS_MAG_STRETCH_MONITOR,
       L"\u30e2\u30cb\u30bf\u5168\u4f53\u306b\u62e1\u5927\u3059\u308b\uff08\u7e26\u6a2a\u6bd4\u7121\u8996\uff09"},
      {IDS_MAG_FIT_MONITOR, L"\u30e2\u30cb\u30bf\u5185\u306b\u62e1\u5927\u3059\u308b"},
      {IDS_MAG_FILL_MONITOR,
       L"\u30e2\u30cb\u30bf\u5168\u4f53\u306b\u62e1\u5927\u3059\u308b\uff08\u7e26\u6a2a\u6bd4\u7dad\u6301\uff09"},
      {IDS_DEFAULT_MARK, L"\uff08\u898f\u5b9a\u5024\uff09"},
      {IDS_CONFIRM_DELETE_SETTINGS,
       L"\u8a2d\u5b9a\u30d5\u30a1\u30a4\u30eb\u3092\u524a\u9664\u3057\u3066\u30c0\u30a4\u30a2\u30ed\u30b0\u3092"
       L"\u9589\u3058\u307e\u3059\u3002\n\u3088\u308d\u3057\u3044\u3067\u3059\u304b\uff1f"},
      {IDS_MAG_FILL_DESKTOP,
       L"\u30c7\u30b9\u30af\u30c8\u30c3\u30d7\u5168\u4f53\u306b\u62e1\u5927\u3059\u308b\uff08\u7e26\u6a2a\u6bd4"
       L"\u7dad\u6301\uff09"},
      {IDS_MAG_FIT_DESKTOP,
       L"\u30c7\u30b9\u30af\u30c8\u30c3\u30d7\u5185\u306b\u62e1\u5927\u3059\u308b\uff08\u7e26\u6a2a\u6bd4"
       L"\u7dad\u6301\uff09"},
  };
  for (const auto& entry : strings) {
    wchar_t buffer[256] = {};
    const int length = LoadStringW(Module(), entry.id, buffer, 256);
    EXPECT_EQ(std::wstring(buffer, length), entry.text) << "string " << entry.id;
  }
  // The test host loads the title into 26 characters including the terminator: it must fit.
  EXPECT_LT(std::wstring(kTitle).size(), 26u);
}

TEST(SettingsDialogTemplate, CreatesEveryControlAsDesigned) {
  InitialiseCommonControls();
  DialogFromTemplate dialog(IDD_CONFIG);
  ASSERT_NE(dialog.Get(), nullptr) << "error " << GetLastError();

  EXPECT_EQ(WindowText(dialog.Get()), kConfigTitle);
  ExpectModalFramePopup(dialog.Get());
  ExpectClientSize(dialog, 428, 305);

  const wchar_t kBrowse[] = L"\u53c2\u7167(&O)";
  const wchar_t kVolume[] = L"\u97f3\u91cf";
  const wchar_t kPlay[] = L"\u8a66\u8074";
  const wchar_t kStop[] = L"\u505c\u6b62";
  ExpectControls(
      dialog,
      {
          {IDC_PREVIEW_PLACEHOLDER, Kind::Placeholder, L"preview place holder", 7, 18, 154, 101},
          {IDC_MAG_TYPE, Kind::DropDownList, nullptr, 223, 18, 198, 167},
          {IDC_BG_ALPHA_VALUE, Kind::ValueLabel, L"100", 223, 43, 24, 11},
          {IDC_BG_ALPHA, Kind::Trackbar, nullptr, 250, 42, 171, 22},
          {IDC_FG_ALPHA_VALUE, Kind::ValueLabel, L"100", 223, 70, 24, 11},
          {IDC_FG_ALPHA, Kind::Trackbar, nullptr, 250, 69, 171, 22},
          {IDC_FRAME_ENABLED, Kind::CheckBox, L"\u9ed2\u67a0\u3092\u3064\u3051\u308b", 294, 95, 59, 10},
          {IDC_CONFINE_BG_FILTER, Kind::CheckBox,
           L"\u900f\u904e\u51e6\u7406\u3092\u5f71\u7d75\u306e\u7bc4\u56f2\u306b\u9650\u5b9a\u3059\u308b", 294, 107, 127,
           10},
          {IDC_BGM_ENABLED, Kind::CheckBox,
           L"\u80cc\u666f\u3067\u6d41\u3059\u30d5\u30a1\u30a4\u30eb\u3092\u6307\u5b9a\u3059\u308b", 168, 122, 111, 10},
          {IDC_BGM_PATH, Kind::EditableDropDown, nullptr, 168, 132, 205, 151},
          {IDC_BGM_BROWSE, Kind::PushButton, kBrowse, 379, 130, 42, 14},
          {IDC_BGM_VOLUME_LABEL, Kind::Label, kVolume, 168, 150, 17, 8},
          {IDC_BGM_VOLUME_VALUE, Kind::ValueLabel, L"100", 223, 149, 24, 11},
          {IDC_BGM_VOLUME, Kind::Trackbar, nullptr, 250, 148, 171, 22},
          {IDC_BGM_PLAY, Kind::PushButton, kPlay, 326, 174, 37, 14},
          {IDC_BGM_STOP, Kind::PushButton, kStop, 367, 174, 37, 14},
          {IDC_SHADOW_MOVIE_ENABLED, Kind::CheckBox,
           L"\u5f71\u7d75\u3067\u6d41\u3059\u30d5\u30a1\u30a4\u30eb\u3092\u6307\u5b9a\u3059\u308b", 168, 205, 111, 10},
          {IDC_SHADOW_MOVIE_PATH, Kind::EditableDropDown, nullptr, 168, 215, 205, 151},
          {IDC_SHADOW_MOVIE_BROWSE, Kind::PushButton, kBrowse, 379, 214, 42, 14},
          {IDC_SHADOW_MOVIE_VOLUME_LABEL, Kind::Label, kVolume, 168, 233, 17, 8},
          {IDC_SHADOW_MOVIE_VOLUME_VALUE, Kind::ValueLabel, L"100", 223, 233, 24, 11},
          {IDC_SHADOW_MOVIE_VOLUME, Kind::Trackbar, nullptr, 250, 231, 171, 22},
          {IDC_SHADOW_MOVIE_PLAY, Kind::PushButton, kPlay, 326, 257, 37, 14},
          {IDC_SHADOW_MOVIE_STOP, Kind::PushButton, kStop, 367, 257, 37, 14},
          {IDC_RENDERER_VMR7, Kind::RadioGroupStart, L"VMR7\u3092\u4f7f\u7528\u3059\u308b(&7)", 7, 123, 78, 10},
          {IDC_RENDERER_VMR9, Kind::Radio, L"VMR9\u3092\u4f7f\u7528\u3059\u308b(&9)", 7, 135, 78, 10},
          {IDC_MEMORY_COMPACT, Kind::CheckBox, L"\u4f7f\u7528\u30e1\u30e2\u30ea\u3092\u7bc0\u7d04\u3059\u308b(&M)", 7,
           160, 93, 10},
          {IDC_D3DX_NOTICE, Kind::Link, nullptr, 7, 205, 149, 67},
          {IDOK, Kind::DefaultButton, L"OK", 256, 284, 50, 14},
          {IDCANCEL, Kind::PushButton, L"\u30ad\u30e3\u30f3\u30bb\u30eb", 306, 284, 50, 14},
          {IDC_APPLY, Kind::PushButton, L"\u9069\u7528(&A)", 356, 284, 50, 14},
          {IDC_DELETE_SETTINGS, Kind::PushButton, L"\u8a2d\u5b9a\u30d5\u30a1\u30a4\u30eb\u3092\u524a\u9664", 7, 284, 88,
           14},
          {IDC_LAYERED_WINDOW, Kind::CheckBox,
           L"\u30ec\u30a4\u30e4\u30fc\u30c9\u30a6\u30a3\u30f3\u30c9\u30a6\u30e2\u30fc\u30c9", 7, 182, 95, 10},
      });

  const std::vector<std::wstring> labels = {
      L"\u30d7\u30ec\u30d3\u30e5\u30fc\u30a4\u30e1\u30fc\u30b8",  // preview picture
      L"\u62e1\u5927\u65b9\u6cd5",                                // magnification
      L"\u80cc\u666f\u306e\u4e0d\u900f\u660e\u5ea6",              // background opacity
      L"\u5f71\u7d75\u306e\u4e0d\u900f\u660e\u5ea6",              // silhouette opacity
  };
  EXPECT_EQ(UnnamedLabels(dialog.Get()), labels);
}

TEST(VistrelDialogTemplate, CreatesEveryControlAsDesigned) {
  DialogFromTemplate dialog(IDD_TESTBENCH);
  ASSERT_NE(dialog.Get(), nullptr) << "error " << GetLastError();

  EXPECT_EQ(WindowText(dialog.Get()), L"Vistrel");
  ExpectModalFramePopup(dialog.Get());
  ExpectClientSize(dialog, 131, 131);

  ExpectControls(
      dialog, {
                  {IDC_HOST_SMALL_PREVIEW, Kind::DefaultButton,
                   L"\u5c0f\u3055\u304f\u30d7\u30ec\u30d3\u30e5\u30fc (&1)", 7, 7, 117, 18},
                  {IDC_HOST_FULL_PREVIEW, Kind::PushButton,
                   L"\u5168\u753b\u9762\u3067\u30d7\u30ec\u30d3\u30e5\u30fc (&2)", 7, 29, 117, 18},
                  {IDC_HOST_OPEN_SETTINGS, Kind::PushButton, L"\u8a2d\u5b9a\u753b\u9762\u3092\u958b\u304f (&3)", 7, 51,
                   117, 18},
                  {IDC_HOST_CONFIRM_BEFORE_START, Kind::CheckBox,
                   L"\u52d5\u753b\u64ae\u5f71\u7528\u306b\u78ba\u8a8d\u3092\u5165\u308c\u308b (&4)", 7, 75, 117, 10},
                  {IDC_HOST_STATUS, Kind::Label, L"", 7, 91, 117, 10},
                  {IDCANCEL, Kind::PushButton, L"\u7d42\u4e86(&q)", 7, 106, 117, 18},
              });
}

TEST(ApplicationIcon, HasAPictureOfItsOwnForEverySizeTheShellAsksForAtEveryScale) {
  // The icon group's directory: a 6-byte header, then 14-byte entries whose first byte is the
  // width (0 for 256).
  HRSRC group = FindResourceW(Module(), MAKEINTRESOURCEW(IDI_APPLICATION_ICON), MAKEINTRESOURCEW(14));  // RT_GROUP_ICON
  ASSERT_NE(group, nullptr);
  const auto* directory = static_cast<const BYTE*>(LockResource(LoadResource(Module(), group)));
  const int count = directory[4] | directory[5] << 8;
  std::vector<int> sizes;
  for (int i = 0; i < count; ++i) sizes.push_back(directory[6 + 14 * i] == 0 ? 256 : directory[6 + 14 * i]);
  // 100 % to 200 % display scaling, and the large views: no size is an enlargement of another.
  for (int size : {16, 20, 24, 32, 40, 48, 64, 256}) {
    EXPECT_NE(std::find(sizes.begin(), sizes.end(), size), sizes.end()) << size;
    HANDLE icon = LoadImageW(Module(), MAKEINTRESOURCEW(IDI_APPLICATION_ICON), IMAGE_ICON, size, size, 0);
    EXPECT_NE(icon, nullptr) << size;
    if (icon) DestroyIcon(static_cast<HICON>(icon));
  }
}

TEST(PreviewSample, Is128By96In4BitsWithTheStandardPaletteAndDarkFiguresOnLight) {
  HRSRC resource = FindResourceW(Module(), MAKEINTRESOURCEW(IDB_PREVIEW_SAMPLE), MAKEINTRESOURCEW(2));  // RT_BITMAP
  ASSERT_NE(resource, nullptr);
  const auto* info = static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(Module(), resource)));
  EXPECT_EQ(info->biWidth, 128);
  EXPECT_EQ(info->biHeight, 96);
  EXPECT_EQ(info->biBitCount, 4);
  EXPECT_EQ(info->biCompression, static_cast<DWORD>(BI_RGB));
  const auto* palette = reinterpret_cast<const RGBQUAD*>(reinterpret_cast<const char*>(info) + info->biSize);
  const COLORREF standard[16] = {0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080, 0x808000, 0xC0C0C0,
                                 0x808080, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF};
  for (int i = 0; i < 16; ++i) {
    EXPECT_EQ(RGB(palette[i].rgbRed, palette[i].rgbGreen, palette[i].rgbBlue), standard[i]) << "entry " << i;
  }
  // A frame of the default animation: light sky above (the screen), dark ground below (silhouette).
  const auto* pixels = reinterpret_cast<const unsigned char*>(palette + 16);
  const auto index = [&](int x, int y) {  // y from the top; rows stored bottom-up, 64 bytes each
    const unsigned char pair = pixels[(95 - y) * 64 + x / 2];
    return x % 2 == 0 ? pair >> 4 : pair & 0x0F;
  };
  EXPECT_EQ(index(2, 2), 15) << "white sky";
  EXPECT_EQ(index(64, 94), 0) << "black ground";
  int used[16] = {};
  for (int y = 0; y < 96; ++y) {
    for (int x = 0; x < 128; ++x) ++used[index(x, y)];
  }
  EXPECT_EQ(used[0] + used[7] + used[8] + used[15], 128 * 96) << "greys only";
  EXPECT_GT(used[15], used[0]) << "mostly screen, with figures";
}

TEST(Manifest, RunsAsInvokerAndLoadsCommonControls6) {
  HRSRC resource = FindResourceW(Module(), MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
  ASSERT_NE(resource, nullptr);
  const char* bytes = static_cast<const char*>(LockResource(LoadResource(Module(), resource)));
  const std::string manifest(bytes, SizeofResource(Module(), resource));
  EXPECT_NE(manifest.find("level=\"asInvoker\""), std::string::npos);
  EXPECT_NE(manifest.find("uiAccess=\"false\""), std::string::npos);

  // The platform's version answer is not trustworthy here; the loaded file's place is.
  InitialiseCommonControls();
  HMODULE commonControls = GetModuleHandleW(L"comctl32.dll");
  ASSERT_NE(commonControls, nullptr);
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(commonControls, path, MAX_PATH);
  const std::wstring loaded = Lowercase(path);
  EXPECT_NE(loaded.find(L"microsoft.windows.common-controls"), std::wstring::npos) << loaded;
  EXPECT_NE(loaded.find(L"_6.0."), std::wstring::npos) << loaded;
}

namespace {
// The folder of the built programs, beside the test programs' folder.
std::wstring ProgramsFolder() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path);
  return folder.substr(0, folder.find_last_of(L'\\') + 1) + L"..\\..\\bin\\";
}

// The application manifest a program file carries (resource 24, 1), read from the file itself.
std::string ManifestOfFile(const std::wstring& program) {
  const LoadedLibrary module(
      LoadLibraryExW(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
  if (!module) return {};
  std::string manifest;
  if (HRSRC resource = FindResourceW(module.get(), MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24))) {
    manifest.assign(static_cast<const char*>(LockResource(LoadResource(module.get(), resource))),
                    SizeofResource(module.get(), resource));
  }
  return manifest;
}
}  // namespace

// Every size a program reads and every capture it takes is in physical pixels: per-monitor v2,
// with per-monitor and system-aware fallbacks for systems that do not know it. (The platform here
// treats every program as per-monitor aware whatever it declares, so the built files are read.)
TEST(Manifest, EachBuiltProgramDeclaresPerMonitorV2AwarenessWithItsFallbacks) {
  for (const wchar_t* program : {L"kagemira.scr", L"Vistrel.exe"}) {
    SCOPED_TRACE(::testing::Message() << "program " << std::string(program, program + wcslen(program)));
    const std::string manifest = ManifestOfFile(ProgramsFolder() + program);
    ASSERT_FALSE(manifest.empty()) << "no manifest in the built file";
    EXPECT_NE(manifest.find("<dpiAwareness xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">"
                            "PerMonitorV2, PerMonitor</dpiAwareness>"),
              std::string::npos);
    EXPECT_NE(
        manifest.find("<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true/pm</dpiAware>"),
        std::string::npos);
  }
}
