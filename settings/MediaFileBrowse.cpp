#include "settings/MediaFileBrowse.h"

#include <commdlg.h>
#include <objbase.h>

#include <algorithm>

#include "base/FatalCheck.h"
#include "base/ThreadToolkit.h"

namespace {
// Pairs of display text and pattern, ended by an empty pair.
const wchar_t kFilter[] = L"すべてのファイル(*.*)\0*.*\0";

// Shell dialogs need a single-threaded apartment, and the dialog's thread is in the
// multithreaded one for the media graphs: the box runs on a thread of its own that is.
BOOL AskOnSingleThreadedApartment(OPENFILENAMEW& request) {
  BOOL chosen = FALSE;
  Thread asker;
  asker.Start(
      [&request, &chosen] {
        const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        chosen = GetOpenFileNameW(&request);
        if (SUCCEEDED(com)) CoUninitialize();
      },
      false);
  // The box is owned by a window of this thread, and the two threads' windows send each other
  // messages: this thread keeps dispatching until the box has gone.
  const HANDLE finished = asker.handle();
  for (;;) {
    const DWORD woke = MsgWaitForMultipleObjects(1, &finished, FALSE, INFINITE, QS_ALLINPUT);
    if (woke == WAIT_OBJECT_0) return chosen;
    if (woke != WAIT_OBJECT_0 + 1) FatalLastError("waiting for the file box");
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) {
        // For the message loop that is to end, once the box has gone.
        PostQuitMessage(static_cast<int>(message.wParam));
        break;
      }
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
}
}  // namespace

bool BrowseForMediaFile(HWND owner, wchar_t (&buffer)[kBrowseBufferUnits], const std::wstring& currentPath,
                        std::wstring& chosen) {
  const std::size_t kept = std::min<std::size_t>(currentPath.size(), kBrowseBufferUnits - 1);
  std::copy_n(currentPath.begin(), kept, buffer);
  buffer[kept] = L'\0';

  OPENFILENAMEW request{};
  request.lStructSize = sizeof request;
  request.hwndOwner = owner;
  request.lpstrFilter = kFilter;
  request.lpstrFile = buffer;
  request.nMaxFile = kBrowseBufferUnits;
  request.Flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_READONLY;
  // Modal to the owner from the click on: the box disables it too, but only once it is up.
  const bool ownerWasEnabled = owner != nullptr && !EnableWindow(owner, FALSE);
  const BOOL answered = AskOnSingleThreadedApartment(request);
  if (ownerWasEnabled) {
    EnableWindow(owner, TRUE);
    SetActiveWindow(owner);
  }
  if (!answered) return false;
  chosen = buffer;
  return true;
}
