#include "TestMedia.h"

#include <windows.h>

#include "TestFrameFile.h"

std::wstring TestMedia(const std::wstring& name) { return ProgramFolder() + L"..\\media\\" + name; }

namespace {
// Long paths need the \\?\ form in the creation calls; the copy itself is named without it.
std::wstring Extended(const std::wstring& path) { return path.size() >= MAX_PATH ? L"\\\\?\\" + path : path; }
}  // namespace

MediaCopy::MediaCopy(const std::wstring& medium, const std::wstring& copyPath) : path_(copyPath) {
  const std::wstring folder = path_.substr(0, path_.find_last_of(L'\\'));
  for (size_t at = folder.find(L'\\', 3);; at = folder.find(L'\\', at + 1)) {
    const std::wstring step = folder.substr(0, at);
    if (CreateDirectoryW(Extended(step).c_str(), nullptr)) madeFolders_.push_back(step);
    if (at == std::wstring::npos) break;
  }
  ok_ = CopyFileW(TestMedia(medium).c_str(), Extended(path_).c_str(), FALSE) != FALSE;
}

MediaCopy::~MediaCopy() {
  DeleteFileW(Extended(path_).c_str());
  for (auto folder = madeFolders_.rbegin(); folder != madeFolders_.rend(); ++folder) {
    RemoveDirectoryW(Extended(*folder).c_str());
  }
}
