// Drives a program's settings dialog from a second process, the way a user's clicks, keys and
// drags reach it, and checks what it shows. For the end-to-end scripts.
//   dialogprobe <program> <arguments> <step>...
// Steps (ids are control identifiers; run with a UTF-8 locale so that texts arrive intact):
//   enabled <id> 0|1      checked <id> 0|1      text <id> <text>
//   default <id>          the dialog's default button      defstyle <id> 0|1  drawn as the default
//   click <id>            a click whose handling is over before the next step
//   press <id>            a click that opens a box: the next step waits for the box
//   choose <id> <n>       open the combo's list, n entries down, Enter
//   slider <id> <pos>     move a trackbar (the dialog hears TB_ENDTRACK)
//   type <id> <text>      focus a combo and replace its text     focus <id>
//   box <title> <text> ok|cancel
//                         a box with that title shows a line with that text: answer it
//   blank <id> 0|1        the control shows nothing but the dialog's background (or not)
//   link <id>             click the first link of a link control
//   size                  prints the dialog's client size: "size: <width>x<height>"
//   preview-fills         the preview (5000) fills its place in the placeholder (1002) and, with
//                         both opacities 0, shows the bare checkerboard composed at its own size
//                         (8-pixel squares) in three rows across its whole width
//   corner <id> <rrggbb>  the bottom right pixel of the control's client area shows that colour
//   end <status>          the dialog closes and the program ends with that status
// Each check prints "PASS: ..." or "FAIL: ..."; the exit status is 0 when nothing failed.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "ProbeSupport.h"
#include "base/GdiHandles.h"

namespace {

using probe::Utf8;
const DWORD kCeilingMs = 20000;  // around every wait for a state

void Check(bool ok, const std::string& what) { probe::Check(ok, what.c_str()); }

template <typename Condition>
bool WaitUntil(Condition condition) {
  return probe::WaitUntil(condition, kCeilingMs);
}

// A dialog or box of the program with this title, once it shows.
HWND FindDialog(DWORD processId, const std::wstring& title) {
  return probe::WaitForWindow(
      [&](HWND window) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        return owner == processId && probe::ClassOf(window) == L"#32770" && probe::TextOf(window) == title;
      },
      kCeilingMs);
}

BOOL CALLBACK CollectTexts(HWND window, LPARAM context) {
  reinterpret_cast<std::vector<std::wstring>*>(context)->push_back(probe::TextOf(window));
  return TRUE;
}

// The control's client area as the screen shows it, as COLORREF values, row by row.
std::vector<COLORREF> ShownPixels(HWND control, LONG& width) {
  RECT client{};
  GetClientRect(control, &client);
  POINT origin{0, 0};
  ClientToScreen(control, &origin);
  width = client.right;
  std::vector<COLORREF> pixels;
  const ScreenDc screen;
  for (LONG y = 0; y < client.bottom; ++y) {
    for (LONG x = 0; x < client.right; ++x) pixels.push_back(GetPixel(screen.Get(), origin.x + x, origin.y + y));
  }
  return pixels;
}

// Painted, and nothing on it but the dialog's background.
bool ShowsNothing(HWND control) {
  LONG width = 0;
  const std::vector<COLORREF> pixels = ShownPixels(control, width);
  for (COLORREF pixel : pixels) {
    if (pixel != GetSysColor(COLOR_BTNFACE)) return false;
  }
  return !pixels.empty();
}

// A link control draws its links in the highlight colour: a point of one, over a painted background.
bool FindLinkPoint(HWND control, POINT& point) {
  LONG width = 0;
  const std::vector<COLORREF> pixels = ShownPixels(control, width);
  bool painted = false, found = false;
  for (std::size_t i = 0; i < pixels.size(); ++i) {
    painted = painted || pixels[i] == GetSysColor(COLOR_BTNFACE);
    if (!found && pixels[i] == GetSysColor(COLOR_HIGHLIGHT)) {
      point = {static_cast<LONG>(i % width), static_cast<LONG>(i / width)};
      found = true;
    }
  }
  return painted && found;
}

// One pixel of a control's client area as the screen shows it, 0x00RRGGBB.
uint32_t ShownPixel(HWND control, int x, int y) {
  POINT at{x, y};
  ClientToScreen(control, &at);
  const COLORREF pixel = GetPixel(ScreenDc().Get(), at.x, at.y);
  return (pixel & 0xFF) << 16 | (pixel & 0xFF00) | (pixel >> 16 & 0xFF);
}

// The preview's checkerboard: 8-pixel squares counted from its bottom row.
uint32_t Checker(int x, int y, int height) { return (((height - 1 - y) ^ x) & 8) != 0 ? 0xFFFFFFu : 0xC89678u; }

// Each channel within one (the composition truncates two shares of a pixel separately).
bool WithinOne(uint32_t a, uint32_t b) { return probe::ChannelsWithin(a, b, 1); }

class Session {
 public:
  Session(HANDLE process, DWORD processId) : process(process), processId(processId) {}

  HWND Item(const wchar_t* id) { return GetDlgItem(Dialog(), _wtoi(id)); }

  // Runs one step; the number of arguments it used.
  int Run(const std::vector<std::wstring>& args, std::size_t at) {
    const std::wstring& step = args[at];
    const auto arg = [&](std::size_t n) { return at + n < args.size() ? args[at + n].c_str() : L""; };
    const auto number = [&](std::size_t n) { return _wtoi(arg(n)); };
    const std::string label = Utf8(step) + " " + Utf8(arg(1));
    if (step == L"enabled") {
      const bool want = number(2) != 0;
      Check(WaitUntil([&] { return (IsWindowEnabled(Item(arg(1))) != FALSE) == want; }),
            label + (want ? " is enabled" : " is disabled"));
      return 3;
    }
    if (step == L"checked") {
      const bool want = number(2) != 0;
      Check((SendMessageW(Item(arg(1)), BM_GETCHECK, 0, 0) == BST_CHECKED) == want,
            label + (want ? " is checked" : " is not checked"));
      return 3;
    }
    if (step == L"text") {
      const std::wstring want = arg(2);
      std::wstring shown;
      Check(WaitUntil([&] { return (shown = probe::TextOf(Item(arg(1)))) == want; }),
            label + " shows \"" + Utf8(shown) + "\"" + (shown == want ? "" : ", expected \"" + Utf8(want) + "\""));
      return 3;
    }
    if (step == L"default") {
      const LRESULT id = SendMessageW(Dialog(), DM_GETDEFID, 0, 0);
      Check(HIWORD(id) == DC_HASDEFID && LOWORD(id) == number(1), label + " is the default button");
      return 2;
    }
    if (step == L"defstyle") {
      const bool want = number(2) != 0;
      const bool isDefault = (GetWindowLongW(Item(arg(1)), GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
      Check(isDefault == want, label + (want ? " looks like the default button" : " does not look like the default"));
      return 3;
    }
    if (step == L"click") {
      SendMessageW(Item(arg(1)), BM_CLICK, 0, 0);
      return 2;
    }
    if (step == L"press") {
      PostMessageW(Item(arg(1)), BM_CLICK, 0, 0);
      return 2;
    }
    if (step == L"focus") {
      SendMessageW(Dialog(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(arg(1))), TRUE);
      return 2;
    }
    if (step == L"choose") {
      const HWND combo = Item(arg(1));
      SendMessageW(Dialog(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(combo), TRUE);
      SendMessageW(combo, CB_SHOWDROPDOWN, TRUE, 0);
      for (int i = 0; i < number(2); ++i) SendMessageW(combo, WM_KEYDOWN, VK_DOWN, 0);
      SendMessageW(combo, WM_KEYDOWN, VK_RETURN, 0);
      return 3;
    }
    if (step == L"slider") {
      SendMessageW(Item(arg(1)), TBM_SETPOS, TRUE, number(2));
      SendMessageW(Dialog(), WM_HSCROLL, MAKEWPARAM(TB_ENDTRACK, 0), reinterpret_cast<LPARAM>(Item(arg(1))));
      return 3;
    }
    if (step == L"type") {
      SendMessageW(Dialog(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(arg(1))), TRUE);
      SendMessageW(Item(arg(1)), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(arg(2)));
      return 3;
    }
    if (step == L"box") {
      const std::wstring title = arg(1);
      const std::wstring text = arg(2);
      const HWND box = FindDialog(processId, title);
      bool saysIt = false;
      if (box != nullptr) {
        std::vector<std::wstring> texts;
        EnumChildWindows(box, &CollectTexts, reinterpret_cast<LPARAM>(&texts));
        for (const std::wstring& line : texts) saysIt = saysIt || line.find(text) != std::wstring::npos;
        PostMessageW(box, WM_COMMAND, std::wstring(arg(3)) == L"cancel" ? IDCANCEL : IDOK, 0);
        WaitUntil([&] { return !IsWindow(box); });
      }
      Check(box != nullptr && saysIt, "a box \"" + Utf8(title) + "\" says \"" + Utf8(text) + "\"");
      return 4;
    }
    if (step == L"blank") {
      const bool want = number(2) != 0;
      Check(WaitUntil([&] { return ShowsNothing(Item(arg(1))) == want; }),
            label + (want ? " shows nothing" : " shows something"));
      return 3;
    }
    if (step == L"link") {
      const HWND control = Item(arg(1));
      POINT point{};
      const bool found = WaitUntil([&] { return FindLinkPoint(control, point); });
      Check(found, label + " shows a link");
      if (found) {  // handled, link opened, before the next step
        SendMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(point.x, point.y));
        SendMessageW(control, WM_LBUTTONUP, 0, MAKELPARAM(point.x, point.y));
      }
      return 2;
    }
    if (step == L"size") {
      RECT client{};
      GetClientRect(Dialog(), &client);
      std::printf("size: %ldx%ld\n", client.right, client.bottom);
      std::fflush(stdout);
      return 1;
    }
    if (step == L"preview-fills") {
      const HWND preview = Item(L"5000");
      RECT shown{}, place{}, client{};
      GetWindowRect(preview, &shown);
      GetWindowRect(Item(L"1002"), &place);
      GetClientRect(preview, &client);
      Check(shown.left == place.left && shown.top == place.top && shown.right <= place.right &&
                shown.bottom <= place.bottom && (shown.right == place.right || shown.bottom == place.bottom),
            "the preview fills its place in the placeholder");
      const int width = client.right, height = client.bottom;
      // Once it is painted.
      WaitUntil([&] { return ShownPixel(preview, width - 1, 2) == Checker(width - 1, 2, height); });
      int wrong = 0;
      for (int y : {2, height / 2, height - 3}) {
        for (int x = 0; x < width; ++x) wrong += !WithinOne(ShownPixel(preview, x, y), Checker(x, y, height));
      }
      Check(wrong == 0, "the preview shows the checkerboard composed at its own " + std::to_string(width) + "x" +
                            std::to_string(height) + " pixels (" + std::to_string(wrong) + " pixels differ)");
      return 1;
    }
    if (step == L"corner") {
      const HWND control = Item(arg(1));
      RECT client{};
      GetClientRect(control, &client);
      const uint32_t want = static_cast<uint32_t>(std::wcstoul(arg(2), nullptr, 16));
      uint32_t shown = 0;
      Check(WaitUntil([&] { return (shown = ShownPixel(control, client.right - 1, client.bottom - 1)) == want; }),
            label + " shows " + Utf8(arg(2)) + " in its bottom right corner");
      return 3;
    }
    if (step == L"end") {
      const bool ended = WaitForSingleObject(process, kCeilingMs) == WAIT_OBJECT_0;
      DWORD status = 99;
      if (ended) GetExitCodeProcess(process, &status);
      Check(ended && status == static_cast<DWORD>(number(1)),
            "the program ends with " + Utf8(arg(1)) + " (" + std::to_string(status) + ")");
      return 2;
    }
    Check(false, "unknown step " + Utf8(step));
    return 1;
  }

 private:
  // The settings dialog is the window with the program's own title. It shows once it has
  // initialised, so a box it opens while initialising is answered before it is found.
  HWND Dialog() {
    if (dialog == nullptr) {
      const std::wstring title = L"【Kiriha】Umbrane　ＰＶ【影絵】スクリーンセーバー";
      dialog = FindDialog(processId, title);
      Check(dialog != nullptr, "the settings dialog opens");
    }
    return dialog;
  }

  HWND dialog = nullptr;
  HANDLE process;
  DWORD processId;
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: dialogprobe <program> <arguments> <step>...\n");
    return 2;
  }
  PROCESS_INFORMATION process = probe::Launch(argv[1], argv[2]);
  Session session(process.hProcess, process.dwProcessId);
  const std::vector<std::wstring> args(argv + 3, argv + argc);
  for (std::size_t at = 0; at < args.size();) at += static_cast<std::size_t>(session.Run(args, at));
  probe::WaitForExit(process, 0);  // ends a program that is still running
  return probe::failures() == 0 ? 0 : 1;
}
