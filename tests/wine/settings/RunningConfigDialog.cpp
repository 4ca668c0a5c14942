#include "tests/wine/settings/RunningConfigDialog.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "base/ThreadToolkit.h"
#include "base/GdiHandles.h"
#include "resources/resource.h"
#include "settings/ConfigDialog.h"

namespace {
struct Start {
  HANDLE initialised;
  HWND* dialog;
};

// The dialog procedure of the programs: every message goes to the one ConfigDialog of the opening.
thread_local ConfigDialog* openDialog = nullptr;
thread_local Start* starting = nullptr;

// Carries a test's work to the dialog's thread (lParam: the work); not a message of the dialog.
const UINT kWorkMessage = RegisterWindowMessageW(L"kagemira tests: work on the settings dialog's thread");
using DialogWork = std::function<void(ConfigDialog&)>;

INT_PTR CALLBACK ForwardingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kWorkMessage) {
    (*reinterpret_cast<const DialogWork*>(lParam))(*openDialog);
    return TRUE;
  }
  const INT_PTR result = openDialog->HandleMessage(window, message, wParam, lParam);
  if (message == WM_INITDIALOG && starting != nullptr) {
    *starting->dialog = window;
    SetEvent(starting->initialised);
    starting = nullptr;
  }
  return result;
}

struct WindowSearch {
  HWND except;
  const wchar_t* title;
  HWND found;
};

BOOL CALLBACK FindBox(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<WindowSearch*>(context);
  if (window == search->except || !IsWindowVisible(window)) return TRUE;
  wchar_t className[64] = {};
  GetClassNameW(window, className, 64);
  if (std::wstring(className) != L"#32770") return TRUE;
  wchar_t title[256] = {};
  GetWindowTextW(window, title, 256);
  if (search->title != nullptr && std::wstring(title) != search->title) return TRUE;
  search->found = window;
  return FALSE;
}

BOOL CALLBACK FindOwnedBox(HWND window, LPARAM context) {
  if (GetWindow(window, GW_OWNER) != reinterpret_cast<WindowSearch*>(context)->except) return TRUE;
  return FindBox(window, context);
}

BOOL CALLBACK CollectStatic(HWND window, LPARAM context) {
  wchar_t className[64] = {};
  GetClassNameW(window, className, 64);
  if (_wcsicmp(className, L"static") == 0) {
    wchar_t text[1024] = {};
    GetWindowTextW(window, text, 1024);
    if (text[0] != L'\0') reinterpret_cast<std::vector<std::wstring>*>(context)->push_back(text);
  }
  return TRUE;
}
}  // namespace

RunningConfigDialog::RunningConfigDialog() : initialised_(CreateEventOrDie(true, false)) {
  thread_.reset(CreateThread(nullptr, 0, &DialogThread, this, 0, &threadId_));
  if (!thread_) {
    ADD_FAILURE() << "no dialog thread";
    return;
  }
  const HANDLE waits[] = {initialised_.get(), thread_.get()};
  const DWORD woke = WaitForMultipleObjects(2, waits, FALSE, kStateCeilingMs);
  if (woke != WAIT_OBJECT_0) {
    ADD_FAILURE() << "the settings dialog did not initialise (" << woke << ")";
    return;
  }
  // The dialog shows after its initialisation; then the preview paints. Its picture always has
  // some sky (the sample's light pixels are never black), so black means not painted yet.
  const bool shown = WaitUntil([&] {
    if (!IsWindowVisible(dialog_)) return false;
    int width = 0, height = 0;
    for (uint32_t pixel : PreviewPixels(width, height)) {
      if (pixel != 0) return true;
    }
    return false;
  });
  if (!shown) ADD_FAILURE() << "the settings dialog did not show its preview";
}

RunningConfigDialog::~RunningConfigDialog() {
  if (!thread_) return;
  if (WaitForSingleObject(thread_.get(), 0) == WAIT_TIMEOUT && dialog_ != nullptr) {
    // Whatever box is still open goes first, then the dialog itself.
    for (int i = 0; i < 5; ++i) {
      WindowSearch search{dialog_, nullptr, nullptr};
      EnumThreadWindows(threadId_, &FindBox, reinterpret_cast<LPARAM>(&search));
      if (search.found == nullptr) break;
      PostMessageW(search.found, WM_COMMAND, IDCANCEL, 0);
      WaitUntil([&] { return !IsWindow(search.found); }, 5000);
    }
    PostMessageW(dialog_, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  }
  if (WaitForSingleObject(thread_.get(), kStateCeilingMs) != WAIT_OBJECT_0) {
    ADD_FAILURE() << "the dialog thread did not end";
  }
}

DWORD WINAPI RunningConfigDialog::DialogThread(void* context) {
  auto* self = static_cast<RunningConfigDialog*>(context);
  const HINSTANCE module = GetModuleHandleW(nullptr);
  // As the hosts do: one ConfigDialog for the opening, made and deleted around it on its thread.
  auto configDialog = std::make_unique<ConfigDialog>(module);
  Start start{self->initialised_.get(), &self->dialog_};
  openDialog = configDialog.get();
  starting = &start;
  self->result_ = DialogBoxParamW(module, MAKEINTRESOURCEW(IDD_CONFIG), nullptr, &ForwardingProcedure, 0);
  self->ended_ = true;
  configDialog.reset();
  openDialog = nullptr;
  return 0;
}

bool RunningConfigDialog::Checked(int id) const { return SendMessageW(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }

std::wstring RunningConfigDialog::Text(int id) const {
  const int length = GetWindowTextLengthW(Item(id));
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  GetWindowTextW(Item(id), &text[0], length + 1);
  text.resize(static_cast<std::size_t>(length));
  return text;
}

HWND RunningConfigDialog::Focused() const {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  return GetGUIThreadInfo(threadId_, &info) ? info.hwndFocus : nullptr;
}

std::vector<std::wstring> RunningConfigDialog::Entries(int comboId) const {
  const HWND combo = Item(comboId);
  std::vector<std::wstring> entries;
  const LRESULT count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    const LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, i, 0);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(&text[0]));
    text.resize(static_cast<std::size_t>(length));
    entries.push_back(text);
  }
  return entries;
}

void RunningConfigDialog::Click(int id) const { SendMessageW(Item(id), BM_CLICK, 0, 0); }

void RunningConfigDialog::ClickLater(int id) const { PostMessageW(Item(id), BM_CLICK, 0, 0); }

void RunningConfigDialog::MoveSlider(int id, int position) const {
  SendMessageW(Item(id), TBM_SETPOS, TRUE, position);
  SendMessageW(dialog_, WM_HSCROLL, MAKEWPARAM(TB_ENDTRACK, 0), reinterpret_cast<LPARAM>(Item(id)));
}

void RunningConfigDialog::DragSlider(int id, int position) const {
  SendMessageW(Item(id), TBM_SETPOS, TRUE, position);
  SendMessageW(dialog_, WM_HSCROLL, MAKEWPARAM(TB_THUMBTRACK, position), reinterpret_cast<LPARAM>(Item(id)));
}

void RunningConfigDialog::ChooseFromList(int id, int stepsDown, bool accept) const {
  const HWND combo = Item(id);
  Focus(id);
  SendMessageW(combo, CB_SHOWDROPDOWN, TRUE, 0);
  for (int i = 0; i < stepsDown; ++i) SendMessageW(combo, WM_KEYDOWN, VK_DOWN, 0);
  SendMessageW(combo, WM_KEYDOWN, accept ? VK_RETURN : VK_ESCAPE, 0);
}

void RunningConfigDialog::Focus(int id) const {
  SendMessageW(dialog_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(id)), TRUE);
}

void RunningConfigDialog::TypeInto(int comboId, const std::wstring& text) const {
  Focus(comboId);
  SendMessageW(Item(comboId), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

HWND RunningConfigDialog::WaitForBox(const wchar_t* title) const {
  WindowSearch search{dialog_, title, nullptr};
  WaitUntil([&] {
    search.found = nullptr;
    EnumThreadWindows(threadId_, &FindBox, reinterpret_cast<LPARAM>(&search));
    // A box the dialog owns may run on a thread of its own (the file box does).
    if (!search.found) EnumWindows(&FindOwnedBox, reinterpret_cast<LPARAM>(&search));
    return search.found != nullptr;
  });
  return search.found;
}

std::vector<std::wstring> RunningConfigDialog::StaticTexts(HWND box) {
  std::vector<std::wstring> texts;
  EnumChildWindows(box, &CollectStatic, reinterpret_cast<LPARAM>(&texts));
  return texts;
}

bool RunningConfigDialog::Says(HWND box, const std::wstring& text) {
  const auto texts = StaticTexts(box);
  return std::find(texts.begin(), texts.end(), text) != texts.end();
}

void RunningConfigDialog::Answer(HWND box, int button) {
  PostMessageW(box, WM_COMMAND, button, 0);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); })) << "the box stays";
}

bool RunningConfigDialog::NoBoxShowing() const {
  WindowSearch search{dialog_, nullptr, nullptr};
  EnumThreadWindows(threadId_, &FindBox, reinterpret_cast<LPARAM>(&search));
  return search.found == nullptr;
}

void RunningConfigDialog::OnDialogThread(const std::function<void(ConfigDialog&)>& work) const {
  SendMessageW(dialog_, kWorkMessage, 0, reinterpret_cast<LPARAM>(&work));
}

INT_PTR RunningConfigDialog::WaitForEnd() {
  if (WaitForSingleObject(thread_.get(), kStateCeilingMs) != WAIT_OBJECT_0) return -1;
  return result_;
}

std::vector<uint32_t> RunningConfigDialog::PreviewPixels(int& width, int& height) const {
  const HWND preview = Item(IDC_PREVIEW_WINDOW);
  // What the window shows once it has painted everything it was asked to.
  if (!WaitUntil([&] { return GetUpdateRect(preview, nullptr, FALSE) == FALSE; })) {
    ADD_FAILURE() << "the preview is never painted";
  }
  RECT client{};
  GetClientRect(preview, &client);
  width = client.right;
  height = client.bottom;
  // A context of the test's own: the window's class gives it one that its thread draws with.
  const ScreenDc shown(preview, DCX_CACHE);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  const GdiBitmap copy(CreateDIBSection(shown.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  const MemoryDc memory(CreateCompatibleDC(shown.Get()));
  if (!copy || !memory) {
    ADD_FAILURE() << "cannot read the preview";
    return {};
  }
  {
    const SelectedObject selected(memory.get(), copy.get());
    BitBlt(memory.get(), 0, 0, width, height, shown.Get(), 0, 0, SRCCOPY);
    GdiFlush();
  }
  std::vector<uint32_t> pixels(static_cast<std::size_t>(width) * height);
  for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<const uint32_t*>(bits)[i] & 0xFFFFFF;
  return pixels;
}
