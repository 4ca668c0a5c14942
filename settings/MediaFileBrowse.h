#pragma once
// The file-open box of the two 参照 buttons.
#include <windows.h>

#include <string>

// Units of each button's file-name buffer, terminator included.
constexpr DWORD kBrowseBufferUnits = 4096;

// Asks for an existing file, starting from currentPath (cut to fit the buffer). The buffer is the
// button's own and keeps its contents between uses. True with the chosen path in chosen; false
// when the user cancelled. The box runs on a single-threaded-apartment thread of its own, modal to
// owner, while the calling thread keeps dispatching its messages.
bool BrowseForMediaFile(HWND owner, wchar_t (&buffer)[kBrowseBufferUnits], const std::wstring& currentPath,
                        std::wstring& chosen);
