#pragma once
// Where the settings file and the packed frame file live.
#include <windows.h>

#include <string>

// Asks the shell for one special folder (a CSIDL value) without creating it; false when the
// shell has none.
using ShellFolderLookup = bool (*)(HWND ownerWindow, int folderId, std::wstring& path);
bool ShellFolderPath(HWND ownerWindow, int folderId, std::wstring& path);

// "<application data>\Sorahane": the user's folder, or the all-users folder (asked without an
// owner) when the shell has no user folder. Neither is created here. Fatal when neither exists.
// The lookup is a parameter so that tests can make the shell fail.
std::wstring SettingsFolderPath(HWND ownerWindow, ShellFolderLookup lookup = ShellFolderPath);

// "um.bin" in the folder of the running program's own file.
std::wstring PackedFrameFilePath();
