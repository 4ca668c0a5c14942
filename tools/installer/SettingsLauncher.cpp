// kagemira-settings.exe: opens the saver's settings dialog from a Start-menu entry.
// A shortcut cannot do it by pointing at kagemira.scr with "/c": the shell opens a .scr file with
// its own "/S" and drops the shortcut's arguments, so the saver would start instead. Started
// directly, the saver reads its arguments as they are given.
#include <windows.h>

#include <string>

#include "base/SystemErrorText.h"
#include "base/UniqueHandle.h"

namespace {

std::wstring SaverBesideThisProgram() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    DWORD length = GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
    if (length == 0) return std::wstring();
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(path.size() * 2);
  }
  return path.substr(0, path.find_last_of(L"\\/") + 1) + L"kagemira.scr";
}

void ShowFailure(const std::wstring& saver) {
  const std::wstring systemText = SystemErrorText(GetLastError());
  std::wstring text = saver + L" を起動できません。";
  if (!systemText.empty()) text += L"\n" + systemText;
  MessageBoxW(nullptr, text.c_str(), L"kagemira", MB_OK | MB_ICONERROR);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  std::wstring saver = SaverBesideThisProgram();
  std::wstring commandLine = L"\"" + saver + L"\" /c";
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(saver.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process)) {
    ShowFailure(saver);
    return 1;
  }
  UniqueHandle thread(process.hThread);
  UniqueHandle started(process.hProcess);
  return 0;
}
