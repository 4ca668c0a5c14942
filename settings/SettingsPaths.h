#pragma once
// Where the settings file and the packed frame file live.
#include <windows.h>

#include <string>

// "<application data>\Sorahane": the user's folder, or the all-users folder when the shell has
// no user folder (neither is created here). Fatal when neither exists.
std::wstring SettingsFolderPath(HWND ownerWindow);

// "um.bin" in the folder of the running program's own file.
std::wstring PackedFrameFilePath();
