#pragma once
#include <windows.h>

// What the screen-saver framework asked for on the command line.
struct SaverCommand {
  enum Mode { Settings, FullScreen, Preview, ChangePassword };
  Mode mode = Settings;
  HWND window = nullptr;  // the preview parent (/p) or the settings dialog's owner (/c:<hwnd>)
};

// Accepts /s, /p <hwnd>, /p:<hwnd>, /c, /c:<hwnd>, /a, in either case and with '-' for '/'.
// Anything else, and no argument at all, means the settings dialog.
SaverCommand ParseSaverCommandLine(const wchar_t* commandLine);
