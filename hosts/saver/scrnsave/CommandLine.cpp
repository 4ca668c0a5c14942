#include "hosts/saver/scrnsave/CommandLine.h"

#include <cwchar>
#include <cwctype>

namespace {
const wchar_t* SkipSpaces(const wchar_t* p) {
  while (*p == L' ' || *p == L'\t') ++p;
  return p;
}

HWND ParseWindowHandle(const wchar_t* p) {
  p = SkipSpaces(p);
  if (*p == L':') p = SkipSpaces(p + 1);
  wchar_t* end = nullptr;
  const unsigned long long value = std::wcstoull(p, &end, 10);
  if (end == p) return nullptr;
  return reinterpret_cast<HWND>(static_cast<UINT_PTR>(value));
}
}  // namespace

SaverCommand ParseSaverCommandLine(const wchar_t* commandLine) {
  SaverCommand command;
  if (commandLine == nullptr) return command;
  const wchar_t* p = SkipSpaces(commandLine);
  if (*p != L'/' && *p != L'-') return command;
  const wchar_t letter = static_cast<wchar_t>(std::towlower(p[1]));
  const wchar_t* rest = (p[1] == L'\0') ? p + 1 : p + 2;
  switch (letter) {
    case L's':
      command.mode = SaverCommand::FullScreen;
      break;
    case L'p':
    case L'l':
      command.mode = SaverCommand::Preview;
      command.window = ParseWindowHandle(rest);
      break;
    case L'c':
      command.mode = SaverCommand::Settings;
      command.window = ParseWindowHandle(rest);
      break;
    case L'a':
      command.mode = SaverCommand::ChangePassword;
      command.window = ParseWindowHandle(rest);
      break;
    default:
      break;
  }
  return command;
}
