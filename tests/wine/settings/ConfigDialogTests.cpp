// The settings dialog opened for real, its controls worked as a user works them, and the settings
// file read back afterwards.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "resources/resource.h"
#include "settings/D3dxNotice.h"
#include "tests/wine/settings/RunningConfigDialog.h"
#include "tests/wine/settings/SettingsLocation.h"

namespace {
// Texts as UTF-16 escapes, so that the source encoding cannot make a wrong text look right.
const wchar_t kActualSize[] = L"\u7b49\u500d\u8868\u793a";
const wchar_t kFitMonitor[] = L"\u30e2\u30cb\u30bf\u5185\u306b\u62e1\u5927\u3059\u308b";
const wchar_t kStretchMonitor[] =
    L"\u30e2\u30cb\u30bf\u5168\u4f53\u306b\u62e1\u5927\u3059\u308b\uff08\u7e26\u6a2a\u6bd4\u7121\u8996\uff09";
const wchar_t kFillMonitorDefault[] =
    L"\u30e2\u30cb\u30bf\u5168\u4f53\u306b\u62e1\u5927\u3059\u308b\uff08\u7e26\u6a2a\u6bd4\u7dad\u6301\uff09"
    L"\uff08\u898f\u5b9a\u5024\uff09";
const wchar_t kFillDesktop[] =
    L"\u30c7\u30b9\u30af\u30c8\u30c3\u30d7\u5168\u4f53\u306b\u62e1\u5927\u3059\u308b\uff08\u7e26\u6a2a\u6bd4\u7dad"
    L"\u6301\uff09";
const wchar_t kFitDesktop[] =
    L"\u30c7\u30b9\u30af\u30c8\u30c3\u30d7\u5185\u306b\u62e1\u5927\u3059\u308b\uff08\u7e26\u6a2a\u6bd4\u7dad\u6301"
    L"\uff09";
const wchar_t kTitle[] = L"\u3010Kiriha\u3011Umbrane\u3000\uff30\uff36\u3010\u5f71\u7d75\u3011";
const wchar_t kConfirmDelete[] =
    L"\u8a2d\u5b9a\u30d5\u30a1\u30a4\u30eb\u3092\u524a\u9664\u3057\u3066\u30c0\u30a4\u30a2\u30ed\u30b0\u3092\u9589"
    L"\u3058\u307e\u3059\u3002\n\u3088\u308d\u3057\u3044\u3067\u3059\u304b\uff1f";

std::wstring ComboEntry(HWND combo, int index) {
  const LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, index, 0);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  SendMessageW(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(&text[0]));
  text.resize(static_cast<std::size_t>(length));
  return text;
}

int Selected(HWND combo) { return static_cast<int>(SendMessageW(combo, CB_GETCURSEL, 0, 0)); }

bool IsDefault(HWND button) { return (GetWindowLongW(button, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON; }

uint32_t At(const std::vector<uint32_t>& pixels, int width, int x, int y) {
  return pixels[static_cast<std::size_t>(y) * width + x];
}

// The checkerboard as the preview lays it out: squares counted from the bottom row.
uint32_t Checker(int x, int y, int height) { return (((height - 1 - y) ^ x) & 8) != 0 ? 0xFFFFFFu : 0xC89678u; }

class ConfigDialogTest : public ::testing::Test {
 protected:
  SettingsLocation location;
};
}  // namespace

TEST_F(ConfigDialogTest, OpensShowingTheStoredSettings) {
  location.WriteIni({{"MagType", "2"},
                     {"foregroundAlpha", "80"},
                     {"backgroundAlpha", "35"},
                     {"frameEnabled", "0"},
                     {"confineBgFilterToShadowGraph", "1"},
                     {"bgmVolume", "64"},
                     {"shadowMovieEnabled", "1"},
                     {"shadowMovieVolume", "12"},
                     {"VideoRenderer", "1"},
                     {"memoryCompact", "0"},
                     {"layeredWindow", "1"}});
  RunningConfigDialog dialog;
  EXPECT_EQ(Selected(dialog.Item(IDC_MAG_TYPE)), 1) << kFitMonitor << " is the second entry";
  EXPECT_EQ(SendMessageW(dialog.Item(IDC_FG_ALPHA), TBM_GETPOS, 0, 0), 80);
  EXPECT_EQ(dialog.Text(IDC_FG_ALPHA_VALUE), L"80");
  EXPECT_EQ(SendMessageW(dialog.Item(IDC_BG_ALPHA), TBM_GETPOS, 0, 0), 35);
  EXPECT_EQ(dialog.Text(IDC_BG_ALPHA_VALUE), L"35");
  EXPECT_EQ(SendMessageW(dialog.Item(IDC_BG_ALPHA), TBM_GETRANGEMAX, 0, 0), 100);
  EXPECT_EQ(SendMessageW(dialog.Item(IDC_BG_ALPHA), TBM_GETPAGESIZE, 0, 0), 10);
  EXPECT_EQ(dialog.Text(IDC_BGM_VOLUME_VALUE), L"64");
  EXPECT_EQ(dialog.Text(IDC_SHADOW_MOVIE_VOLUME_VALUE), L"12");
  EXPECT_FALSE(dialog.Checked(IDC_FRAME_ENABLED));
  EXPECT_TRUE(dialog.Checked(IDC_CONFINE_BG_FILTER));
  EXPECT_FALSE(dialog.Checked(IDC_BGM_ENABLED));
  EXPECT_TRUE(dialog.Checked(IDC_SHADOW_MOVIE_ENABLED));
  EXPECT_FALSE(dialog.Checked(IDC_RENDERER_VMR7));
  EXPECT_TRUE(dialog.Checked(IDC_RENDERER_VMR9));
  EXPECT_FALSE(dialog.Checked(IDC_MEMORY_COMPACT));
  EXPECT_TRUE(dialog.Checked(IDC_LAYERED_WINDOW));

  EXPECT_FALSE(dialog.Enabled(IDC_APPLY));
  // Background media off: its file controls are off, but its 試聴 stays on; the shadow movie's
  // whole group follows its option.
  EXPECT_FALSE(dialog.Enabled(IDC_BGM_PATH));
  EXPECT_FALSE(dialog.Enabled(IDC_BGM_BROWSE));
  EXPECT_TRUE(dialog.Enabled(IDC_BGM_PLAY));
  EXPECT_FALSE(dialog.Enabled(IDC_BGM_STOP));
  EXPECT_TRUE(dialog.Enabled(IDC_SHADOW_MOVIE_PATH));
  EXPECT_TRUE(dialog.Enabled(IDC_SHADOW_MOVIE_BROWSE));
  EXPECT_TRUE(dialog.Enabled(IDC_SHADOW_MOVIE_PLAY));
  EXPECT_FALSE(dialog.Enabled(IDC_SHADOW_MOVIE_STOP));
  LITEM link{};
  link.mask = LIF_ITEMINDEX | LIF_URL;
  EXPECT_FALSE(SendMessageW(dialog.Item(IDC_D3DX_NOTICE), LM_GETITEM, 0, reinterpret_cast<LPARAM>(&link)))
      << "D3DX9_42 loads in this prefix: no notice, no link";

  // The preview: class "preview frame", child 5000, the screen's shape at the placeholder's corner.
  const HWND preview = dialog.Item(IDC_PREVIEW_WINDOW);
  ASSERT_NE(preview, nullptr);
  wchar_t className[64] = {};
  GetClassNameW(preview, className, 64);
  EXPECT_EQ(std::wstring(className), L"preview frame");
  EXPECT_TRUE(GetWindowLongW(preview, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
  RECT placeholder{}, shown{};
  GetWindowRect(dialog.Item(IDC_PREVIEW_PLACEHOLDER), &placeholder);
  GetWindowRect(preview, &shown);
  EXPECT_EQ(shown.left, placeholder.left);
  EXPECT_EQ(shown.top, placeholder.top);
  EXPECT_LE(shown.right, placeholder.right);
  EXPECT_LE(shown.bottom, placeholder.bottom);
  const double screenAspect = static_cast<double>(GetSystemMetrics(SM_CXSCREEN)) / GetSystemMetrics(SM_CYSCREEN);
  EXPECT_NEAR(static_cast<double>(shown.right - shown.left) / (shown.bottom - shown.top), screenAspect, 0.02);
}

TEST_F(ConfigDialogTest, TheMagnificationListHasItsSixEntriesInOrderWithTheirValues) {
  location.Clear();
  RunningConfigDialog dialog;
  const HWND combo = dialog.Item(IDC_MAG_TYPE);
  const std::vector<std::wstring> texts = {kActualSize,         kFitMonitor,  kStretchMonitor,
                                           kFillMonitorDefault, kFillDesktop, kFitDesktop};
  const std::vector<LRESULT> values = {0, 2, 1, 3, 4, 5};
  ASSERT_EQ(SendMessageW(combo, CB_GETCOUNT, 0, 0), 6);
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(ComboEntry(combo, i), texts[i]) << i;
    EXPECT_EQ(SendMessageW(combo, CB_GETITEMDATA, i, 0), values[i]) << i;
  }
  EXPECT_EQ(Selected(combo), 3) << "the default, 3, without a settings file";
}

TEST_F(ConfigDialogTest, AnUnlistedMagnificationShowsTheFirstEntryAndIsKeptUnlessChanged) {
  location.WriteIni({{"MagType", "9"}});
  {
    RunningConfigDialog dialog;
    EXPECT_EQ(Selected(dialog.Item(IDC_MAG_TYPE)), 0);
    EXPECT_EQ(dialog.Text(IDC_MAG_TYPE), kActualSize);
    // Opening the list, moving through it and cancelling leaves the entry as it was.
    dialog.ChooseFromList(IDC_MAG_TYPE, 3, false);
    EXPECT_EQ(Selected(dialog.Item(IDC_MAG_TYPE)), 0);
    EXPECT_FALSE(dialog.Enabled(IDC_APPLY));
    dialog.Click(IDOK);
    EXPECT_EQ(dialog.WaitForEnd(), 1);
  }
  EXPECT_EQ(location.ReadKey(L"MagType"), L"9");

  {
    RunningConfigDialog dialog;
    dialog.ChooseFromList(IDC_MAG_TYPE, 2, true);  // 0 -> 2 -> 1: モニタ全体に拡大する（縦横比無視）
    EXPECT_EQ(Selected(dialog.Item(IDC_MAG_TYPE)), 2);
    EXPECT_TRUE(dialog.Enabled(IDC_APPLY));
    dialog.Click(IDOK);
    EXPECT_EQ(dialog.WaitForEnd(), 1);
  }
  EXPECT_EQ(location.ReadKey(L"MagType"), L"1");
}

TEST_F(ConfigDialogTest, SlidersUpdateTheirNumberThePreviewAndEnableApply) {
  // Stretch fills the preview with the sample: its top-left corner is sky (light), its bottom
  // rows the ground (dark).
  location.WriteIni({{"MagType", "1"}, {"foregroundAlpha", "100"}, {"backgroundAlpha", "0"}, {"frameEnabled", "0"}});
  RunningConfigDialog dialog;
  int width = 0, height = 0;
  auto pixels = dialog.PreviewPixels(width, height);
  ASSERT_GT(width, 100);
  ASSERT_GT(height, 60);
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 8; ++x) EXPECT_EQ(At(pixels, width, x, y), Checker(x, y, height)) << x << "," << y;
  }
  EXPECT_EQ(At(pixels, width, width / 2, height - 2), 0u) << "the ground is solid black";

  dialog.MoveSlider(IDC_BG_ALPHA, 100);
  EXPECT_EQ(dialog.Text(IDC_BG_ALPHA_VALUE), L"100");
  EXPECT_TRUE(dialog.Enabled(IDC_APPLY));
  pixels = dialog.PreviewPixels(width, height);
  EXPECT_EQ(At(pixels, width, 3, 3), 0xFFFFFFu) << "the screen is opaque white now";
  EXPECT_EQ(At(pixels, width, width / 2, height - 2), 0u);

  // Dragging the silhouette's thumb: number and preview follow at once.
  dialog.DragSlider(IDC_FG_ALPHA, 0);
  EXPECT_EQ(dialog.Text(IDC_FG_ALPHA_VALUE), L"0");
  pixels = dialog.PreviewPixels(width, height);
  std::set<uint32_t> colours(pixels.begin(), pixels.end());
  EXPECT_EQ(colours, std::set<uint32_t>{0xFFFFFFu}) << "no silhouette over an opaque screen: all white";

  dialog.MoveSlider(IDC_FG_ALPHA, 50);
  pixels = dialog.PreviewPixels(width, height);
  // Black at 127/255 over white: 255 * 128 / 255 = 128.
  EXPECT_EQ(At(pixels, width, width / 2, height - 2), 0x808080u);

  dialog.Click(IDOK);
  EXPECT_EQ(dialog.WaitForEnd(), 1);
  EXPECT_EQ(location.ReadKey(L"backgroundAlpha"), L"100");
  EXPECT_EQ(location.ReadKey(L"foregroundAlpha"), L"50");
}

TEST_F(ConfigDialogTest, BordersAndTheSeeThroughLimitShowAroundASmallPicture) {
  // Actual size: the frame at screen scale, centred with strips all round.
  location.WriteIni({{"MagType", "0"},
                     {"foregroundAlpha", "100"},
                     {"backgroundAlpha", "0"},
                     {"frameEnabled", "0"},
                     {"confineBgFilterToShadowGraph", "0"}});
  RunningConfigDialog dialog;
  int width = 0, height = 0;
  auto pixels = dialog.PreviewPixels(width, height);
  EXPECT_EQ(At(pixels, width, 1, 1), Checker(1, 1, height)) << "no borders: the strips are the screen";

  dialog.Click(IDC_FRAME_ENABLED);
  EXPECT_TRUE(dialog.Enabled(IDC_APPLY));
  pixels = dialog.PreviewPixels(width, height);
  EXPECT_EQ(At(pixels, width, 1, 1), 0u) << "borders: the strips are silhouette";

  dialog.MoveSlider(IDC_FG_ALPHA, 0);
  pixels = dialog.PreviewPixels(width, height);
  EXPECT_EQ(At(pixels, width, 1, 1), Checker(1, 1, height)) << "an invisible silhouette shows the screen";

  dialog.Click(IDC_CONFINE_BG_FILTER);
  pixels = dialog.PreviewPixels(width, height);
  EXPECT_EQ(At(pixels, width, 1, 1), 0u) << "the see-through limit: solid black with borders";
  dialog.Click(IDC_FRAME_ENABLED);
  pixels = dialog.PreviewPixels(width, height);
  EXPECT_EQ(At(pixels, width, 1, 1), Checker(1, 1, height)) << "and the bare checkerboard without";

  dialog.Click(IDC_APPLY);
  EXPECT_EQ(location.ReadKey(L"frameEnabled"), L"0");
  EXPECT_EQ(location.ReadKey(L"confineBgFilterToShadowGraph"), L"1");
  EXPECT_EQ(location.ReadKey(L"foregroundAlpha"), L"0");
}

TEST_F(ConfigDialogTest, APreviewMadeLargerIsComposedOverItsWholeNewArea) {
  location.WriteIni({{"MagType", "1"}, {"foregroundAlpha", "100"}, {"backgroundAlpha", "0"}, {"frameEnabled", "0"}});
  RunningConfigDialog dialog;
  const HWND preview = dialog.Item(IDC_PREVIEW_WINDOW);
  RECT shown{};
  GetWindowRect(preview, &shown);
  SetWindowPos(preview, nullptr, 0, 0, shown.right - shown.left + 60, shown.bottom - shown.top + 40,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  dialog.MoveSlider(IDC_BG_ALPHA, 100);  // composes again at the new size

  int width = 0, height = 0;
  const auto pixels = dialog.PreviewPixels(width, height);
  ASSERT_EQ(width, static_cast<int>(shown.right - shown.left + 60 - 4)) << "client area inside the edge";
  for (uint32_t pixel : pixels) {
    ASSERT_TRUE((pixel & 0xFF) == ((pixel >> 8) & 0xFF) && (pixel & 0xFF) == (pixel >> 16))
        << std::hex << pixel << ": an opaque screen and silhouette leave only greys";
  }
  EXPECT_EQ(At(pixels, width, width - 3, 2), 0xFFFFFFu) << "sky up to the new right edge";
  EXPECT_EQ(At(pixels, width, width - 3, height - 2), 0u) << "ground down to the new bottom";
}

// Each channel within one (the composition truncates two shares of a pixel separately).
bool WithinOne(uint32_t a, uint32_t b) {
  for (int shift = 0; shift <= 16; shift += 8) {
    if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) > 1) return false;
  }
  return true;
}

BOOL CALLBACK GrowByHalf(HWND control, LPARAM dialog) {
  if (GetParent(control) != reinterpret_cast<HWND>(dialog)) return TRUE;
  RECT place{};
  GetWindowRect(control, &place);
  MapWindowPoints(nullptr, reinterpret_cast<HWND>(dialog), reinterpret_cast<POINT*>(&place), 2);
  SetWindowPos(control, nullptr, place.left * 3 / 2, place.top * 3 / 2, (place.right - place.left) * 3 / 2,
               (place.bottom - place.top) * 3 / 2, SWP_NOZORDER | SWP_NOACTIVATE);
  return TRUE;
}

// Moved to a monitor of another scale, the dialog is laid out anew by the system (here the test
// does the system's part: the dialog and every control grow by half) and told of the new scale,
// twice; a screen added meanwhile changes nothing else. The preview then fills the new place and is
// composed at its new size: with both opacities 0 it shows the bare checkerboard in every pixel,
// 8-pixel squares that a stretched bitmap would not keep; and the picture reaches its new corner.
TEST_F(ConfigDialogTest, AtAnotherScaleThePreviewFillsItsNewPlaceComposedAtItsNewSize) {
  location.WriteIni({{"MagType", "1"}, {"foregroundAlpha", "0"}, {"backgroundAlpha", "0"}, {"frameEnabled", "0"}});
  RunningConfigDialog dialog;
  const HWND placeholder = dialog.Item(IDC_PREVIEW_PLACEHOLDER);
  const HWND preview = dialog.Item(IDC_PREVIEW_WINDOW);
  RECT window{}, before{};
  GetWindowRect(dialog.dialog(), &window);
  GetWindowRect(preview, &before);
  RECT suggested{window.left, window.top, window.left + (window.right - window.left) * 3 / 2,
                 window.top + (window.bottom - window.top) * 3 / 2};
  SetWindowPos(dialog.dialog(), nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  EnumChildWindows(dialog.dialog(), &GrowByHalf, reinterpret_cast<LPARAM>(dialog.dialog()));
  SendMessageW(dialog.dialog(), WM_DISPLAYCHANGE, 32,
               MAKELPARAM(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)));
  SendMessageW(dialog.dialog(), WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
  SendMessageW(dialog.dialog(), WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));

  int width = 0, height = 0;
  auto pixels = dialog.PreviewPixels(width, height);
  RECT grown{}, after{};
  GetWindowRect(placeholder, &grown);
  GetWindowRect(preview, &after);
  EXPECT_GT(after.right - after.left, (before.right - before.left) * 4 / 3) << "the preview follows its placeholder";
  EXPECT_EQ(after.left, grown.left);
  EXPECT_EQ(after.top, grown.top);
  EXPECT_TRUE(after.right == grown.right || after.bottom == grown.bottom) << "as large as the placeholder allows";
  EXPECT_LE(after.right, grown.right);
  EXPECT_LE(after.bottom, grown.bottom);
  EXPECT_EQ(width, static_cast<int>(after.right - after.left - 4)) << "client area inside the edge";
  int wrong = 0;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) wrong += !WithinOne(At(pixels, width, x, y), Checker(x, y, height));
  }
  EXPECT_EQ(wrong, 0) << "pixels of the " << width << "x" << height << " preview that are not the checkerboard";

  dialog.MoveSlider(IDC_FG_ALPHA, 100);
  pixels = dialog.PreviewPixels(width, height);
  EXPECT_EQ(At(pixels, width, width - 1, height - 1), 0u) << "the ground down to the new bottom right";
}

TEST_F(ConfigDialogTest, ApplySavesMakesOkTheDefaultAndCancelKeepsWhatWasApplied) {
  location.WriteIni({{"backgroundAlpha", "10"}});
  RunningConfigDialog dialog;
  dialog.MoveSlider(IDC_BG_ALPHA, 42);
  ASSERT_TRUE(dialog.Enabled(IDC_APPLY));
  dialog.Click(IDC_APPLY);
  EXPECT_EQ(location.ReadKey(L"backgroundAlpha"), L"42");
  EXPECT_FALSE(dialog.Enabled(IDC_APPLY));
  EXPECT_FALSE(IsDefault(dialog.Item(IDC_APPLY)));
  EXPECT_TRUE(IsDefault(dialog.Item(IDOK)));
  EXPECT_EQ(LOWORD(SendMessageW(dialog.dialog(), DM_GETDEFID, 0, 0)), IDOK);

  dialog.MoveSlider(IDC_BG_ALPHA, 77);
  EXPECT_TRUE(dialog.Enabled(IDC_APPLY)) << "the next edit enables it again";
  dialog.Click(IDCANCEL);
  EXPECT_EQ(dialog.WaitForEnd(), 2);
  EXPECT_EQ(location.ReadKey(L"backgroundAlpha"), L"42") << "applied, then cancelled: the applied value stays";
}

TEST_F(ConfigDialogTest, OptionsThatTakeEffectAtTheNextStartAreSavedByOkWithoutEnablingApply) {
  location.WriteIni({{"VideoRenderer", "0"}, {"memoryCompact", "1"}, {"layeredWindow", "0"}});
  RunningConfigDialog dialog;
  dialog.Click(IDC_RENDERER_VMR9);
  dialog.Click(IDC_MEMORY_COMPACT);
  dialog.Click(IDC_LAYERED_WINDOW);
  EXPECT_FALSE(dialog.Enabled(IDC_APPLY));
  dialog.Click(IDOK);
  EXPECT_EQ(dialog.WaitForEnd(), 1);
  EXPECT_EQ(location.ReadKey(L"VideoRenderer"), L"1");
  EXPECT_EQ(location.ReadKey(L"memoryCompact"), L"0");
  EXPECT_EQ(location.ReadKey(L"layeredWindow"), L"1");
}

TEST_F(ConfigDialogTest, DeletingTheSettingsFileAsksFirstAndClosesWithoutSaving) {
  location.Clear();
  location.WriteIni({{"backgroundAlpha", "10"}});
  RunningConfigDialog dialog;
  dialog.MoveSlider(IDC_BG_ALPHA, 60);

  dialog.ClickLater(IDC_DELETE_SETTINGS);
  HWND box = dialog.WaitForBox(kTitle);
  ASSERT_NE(box, nullptr);
  const auto texts = RunningConfigDialog::StaticTexts(box);
  EXPECT_NE(std::find(texts.begin(), texts.end(), std::wstring(kConfirmDelete)), texts.end());
  ASSERT_NE(GetDlgItem(box, IDCANCEL), nullptr) << "OK and Cancel";
  PostMessageW(box, WM_COMMAND, IDCANCEL, 0);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
  EXPECT_TRUE(location.FileExists()) << "cancelled: nothing deleted";
  EXPECT_EQ(location.ReadKey(L"backgroundAlpha"), L"10");
  EXPECT_TRUE(IsWindowVisible(dialog.dialog()));

  dialog.ClickLater(IDC_DELETE_SETTINGS);
  box = dialog.WaitForBox(kTitle);
  ASSERT_NE(box, nullptr);
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  EXPECT_EQ(dialog.WaitForEnd(), 1);
  EXPECT_FALSE(location.FileExists()) << "deleted, and the edit was not saved afterwards";
  if (!location.FolderExisted()) {
    EXPECT_FALSE(location.FolderExists()) << "the empty folder goes too";
  }
}

TEST(D3dxNotice, WithoutTheLibraryFourLinesLinkTheRuntimePage) {
  EXPECT_EQ(D3dxNoticeText(true), L"");
  const std::wstring notice = D3dxNoticeText(false);
  const std::wstring expected =
      L"D3DX9_42.DLL\u304c\u898b\u3064\u304b\u308a\u307e\u305b\u3093\u3067\u3057\u305f\u3002\r\n"
      L"\u3053\u306e\u72b6\u614b\u3067\u306f\u300c\u5f71\u7d75\u3067\u6d41\u3059\u30d5\u30a1\u30a4\u30eb"
      L"\u300d\u3092\u6307\u5b9a\u3057\u3066\u3082\u900f\u904e\u51e6\u7406\u304c\u884c\u308f\u308c\u307e"
      L"\u305b\u3093\u3002\r\n"
      L"\r\n"
      L"\u3053\u306e\u6a5f\u80fd\u3092\u5229\u7528\u3057\u305f\u3044\u5834\u5408\u306f"
      L"<a href=\"https://www.microsoft.com/ja-jp/download/details.aspx?id=35\">"
      L"\u30de\u30a4\u30af\u30ed\u30bd\u30d5\u30c8\u516c\u5f0f\u30b5\u30a4\u30c8</a>"
      L"\u304b\u3089DirectX\u3092\u6700\u65b0\u7248\u306b\u66f4\u65b0\u3057\u3066\u304f\u3060\u3055\u3044"
      L"\u3002\r\n";
  EXPECT_EQ(notice, expected);

  // The link control reads it as one link to the page.
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LINK_CLASS};
  ASSERT_TRUE(InitCommonControlsEx(&controls));
  const HWND control = CreateWindowExW(0, WC_LINK, notice.c_str(), WS_POPUP, 0, 0, 300, 120, nullptr, nullptr,
                                       GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(control, nullptr);
  LITEM link{};
  link.mask = LIF_ITEMINDEX | LIF_URL;
  EXPECT_TRUE(SendMessageW(control, LM_GETITEM, 0, reinterpret_cast<LPARAM>(&link)));
  EXPECT_EQ(std::wstring(link.szUrl), kDirectXRuntimePage);
  link.iLink = 1;
  EXPECT_FALSE(SendMessageW(control, LM_GETITEM, 0, reinterpret_cast<LPARAM>(&link))) << "one link only";
  DestroyWindow(control);
}
