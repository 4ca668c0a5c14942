#include "settings/SettingsPaths.h"

#include <shlobj.h>

#include <cstdlib>

#include "base/FatalCheck.h"

namespace {
const wchar_t kVendorFolder[] = L"Sorahane";
const wchar_t kPackedFrameFileName[] = L"um.bin";
}  // namespace

bool ShellFolderPath(HWND ownerWindow, int folderId, std::wstring& path) {
  wchar_t buffer[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathW(ownerWindow, folderId, nullptr, SHGFP_TYPE_CURRENT, buffer))) return false;
  path = buffer;
  return true;
}

std::wstring SettingsFolderPath(HWND ownerWindow, ShellFolderLookup lookup) {
  std::wstring applicationData;
  if (!lookup(ownerWindow, CSIDL_APPDATA, applicationData) && !lookup(nullptr, CSIDL_COMMON_APPDATA, applicationData)) {
    Fatal("no application-data folder");
  }
  return applicationData + L"\\" + kVendorFolder;
}

std::wstring PackedFrameFilePath() {
  wchar_t modulePath[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, modulePath, MAX_PATH);
  wchar_t drive[_MAX_DRIVE] = {};
  wchar_t directory[_MAX_DIR] = {};
  _wsplitpath_s(modulePath, drive, _MAX_DRIVE, directory, _MAX_DIR, nullptr, 0, nullptr, 0);
  return std::wstring(drive) + directory + kPackedFrameFileName;
}
