#pragma once
// Watches the screen while a saver starts, screenshot after screenshot as fast as they come.
#include <windows.h>

// saverprobe start-watch <saver> <arguments> <ceiling ms>
// Reads the desktop's colour at the screen's centre, starts the saver and takes screenshots until
// its first frame shows (the centre is neither that colour nor black) or the ceiling passes; then
// closes the saver. Prints, in milliseconds from the start of the process: "window=" (its window
// is visible), "desktop=" (the first screenshot with the window visible that is not wholly
// black), "frame=" (-1 when none showed), and "shots=", "black=" (screenshots with the window
// visible that were wholly black). Its exit status is 0 when it measured, 1 when the saver never
// showed a window.
int StartWatchCommand(const wchar_t* saver, const wchar_t* arguments, DWORD ceilingMs);
