#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "HostWindow.h"
#include "TestFrameFile.h"
#include "engine/RegisteredMessages.h"
#include "engine/UmbraneEngine.h"
#include "base/UniqueHandle.h"
#include "hosts/vistrel/VistrelHost.h"

namespace {

const std::wstring kDataFile = ProgramFolder() + L"um.bin";
const wchar_t kTestCaption[] = L"Vistrel under test";

bool StartMessageQueued(HWND window) {
  MSG message;
  return PeekMessageW(&message, window, StartMessage, StartMessage, PM_NOREMOVE) != 0;
}

// The cursor's display counter, left as it was.
int CursorCount() {
  ShowCursor(FALSE);
  return ShowCursor(TRUE);
}

HWND ThisProcessWindow(const wchar_t* className, const wchar_t* title) {
  HWND window = FindWindowW(className, title);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  return window != nullptr && owner == GetCurrentProcessId() && IsWindowVisible(window) ? window : nullptr;
}

// Acts on a window of the code under test from a second thread, while the main thread is inside
// that code's modal loop: waits until find() answers a window (a ceiling for a hang only), then act().
class Helper {
 public:
  Helper(std::function<HWND()> find, std::function<void(HWND)> act)
      : thread_([find, act, this] {
          const DWORD start = GetTickCount();
          HWND window = nullptr;
          while ((window = find()) == nullptr && GetTickCount() - start < 30000) Sleep(10);
          found_ = window != nullptr;
          if (found_) act(window);
        }) {}
  ~Helper() {
    if (thread_.joinable()) thread_.join();
  }
  bool found() {
    thread_.join();
    return found_;
  }

 private:
  bool found_ = false;
  std::thread thread_;
};

class VistrelHostTest : public ::testing::Test {
 protected:
  void SetUp() override { DeleteFileW(kDataFile.c_str()); }
  void TearDown() override { DeleteFileW(kDataFile.c_str()); }

  static bool WriteDataFile() {
    return WriteTestFrameFile(kDataFile, 64, 48, 30, [](uint32_t frame) { return static_cast<uint8_t>(frame * 8); });
  }

  vistrel::VistrelHost vistrelHost{GetModuleHandleW(nullptr), kTestCaption};
};

TEST_F(VistrelHostTest, ThisBuildsStartupLeavesStartMessageToTheHost) {
  ASSERT_TRUE(WriteDataFile());
  HostWindow host;
  auto engine = std::make_unique<UmbraneEngine>();
  host.onDestroy = [&] { engine.reset(); };
  ASSERT_TRUE(engine->Startup(host.hwnd(), true, PlaybackStart::ByHost));
  EXPECT_FALSE(StartMessageQueued(host.hwnd()));
  vistrel::PumpPendingMessages();
  EXPECT_EQ(engine->playbackThread(), nullptr) << "playback started without the host's word";

  PostMessageW(host.hwnd(), StartMessage, 0, 0);
  EXPECT_TRUE(HostWindow::PumpUntil([&] { return engine->playbackThread() != nullptr; }, 10000));
  DestroyWindow(host.hwnd());
  EXPECT_EQ(engine.get(), nullptr);
}

TEST_F(VistrelHostTest, AFailedStartIsReportedAndLeavesNoEngineCursorOrQuitMessageBehind) {
  const int cursorBefore = CursorCount();
  std::wstring reported;
  Helper closeTheMessage([] { return ThisProcessWindow(L"#32770", kTestCaption); },
                         [&](HWND box) {
                           wchar_t text[256] = {};
                           GetDlgItemTextW(box, 0xFFFF, text, 256);
                           reported = text;
                           SendMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
                         });
  vistrelHost.RunPreview(true);
  ASSERT_TRUE(closeTheMessage.found());

  EXPECT_EQ(reported,
            L"\u30a6\u30a3\u30f3\u30c9\u30a6\u306e\u4f5c\u6210\u306b\u5931\u6557\u3057\u307e\u3057\u305f"
            L"\u3002\n\u30c7\u30fc\u30bf\u30d5\u30a1\u30a4\u30eb\u3092\u8aad\u307f\u8fbc\u3081\u307e"
            L"\u305b\u3093\u3067\u3057\u305f\u3002");
  // Also where the platform does not destroy a window whose creation failed (Wine does not).
  EXPECT_EQ(vistrelHost.engine().get(), nullptr);
  EXPECT_EQ(vistrelHost.previewWindow(), nullptr);
  EXPECT_TRUE(vistrelHost.hostErrorText().empty());
  EXPECT_EQ(CursorCount(), cursorBefore);
  MSG message;
  EXPECT_FALSE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE)) << "the next dialog would end at once";
}

// The cursor counter as the main thread saw it while the preview window of hostUnderTest was up.
int cursorWhilePreviewing = 0;
const vistrel::VistrelHost* hostUnderTest = nullptr;
void CALLBACK LookAtTheCursor(HWND, UINT, UINT_PTR, DWORD) {
  HWND preview = hostUnderTest->previewWindow();
  if (preview != nullptr && IsWindowVisible(preview)) cursorWhilePreviewing = CursorCount();
}

TEST_F(VistrelHostTest, APreviewHidesTheCursorAndEndedByEscapeDeletesItsEngineAndShowsItAgain) {
  ASSERT_TRUE(WriteDataFile());
  const int cursorBefore = CursorCount();
  cursorWhilePreviewing = cursorBefore;
  hostUnderTest = &vistrelHost;
  // A thread timer of the main thread: its ticks run inside the preview's message loop.
  const UINT_PTR timer = SetTimer(nullptr, 0, 10, &LookAtTheCursor);
  Helper pressEscape(
      [&] {
        HWND preview = ThisProcessWindow(L"WindowsScreenSaverClass", kTestCaption);
        return cursorWhilePreviewing != cursorBefore ? preview : nullptr;
      },
      [](HWND preview) { PostMessageW(preview, WM_KEYDOWN, VK_ESCAPE, 0); });
  vistrelHost.RunPreview(true);
  KillTimer(nullptr, timer);
  ASSERT_TRUE(pressEscape.found());
  EXPECT_EQ(cursorWhilePreviewing, cursorBefore - 1);
  EXPECT_EQ(vistrelHost.engine().get(), nullptr);
  EXPECT_EQ(vistrelHost.previewWindow(), nullptr);
  EXPECT_EQ(CursorCount(), cursorBefore);
}

TEST_F(VistrelHostTest, TheMainDialogLoopEndsWhenItsDialogCannotBeShown) {
  // This program has no dialog 101: every attempt fails. Asking again for ever would hang.
  const UniqueHandle loop(CreateThread(
      nullptr, 0,
      [](void* host) -> DWORD {
        static_cast<vistrel::VistrelHost*>(host)->RunMainDialogLoop();
        return 0;
      },
      &vistrelHost, 0, nullptr));
  ASSERT_NE(loop.get(), nullptr);
  const bool ended = WaitForSingleObject(loop.get(), 30000) == WAIT_OBJECT_0;
  EXPECT_TRUE(ended);
  if (!ended) TerminateThread(loop.get(), 1);
}

}  // namespace
