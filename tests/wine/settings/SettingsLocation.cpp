#include "tests/wine/settings/SettingsLocation.h"

#include <shlobj.h>

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace fs = std::filesystem;

namespace {
std::wstring UserApplicationData() {
  wchar_t buffer[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, buffer))) {
    throw std::runtime_error("the prefix has no application-data folder");
  }
  return buffer;
}
}  // namespace

SettingsLocation::SettingsLocation()
    : folder(UserApplicationData() + L"\\Sorahane"),
      file(folder + L"\\kagemira.ini"),
      folderExisted(fs::exists(fs::path(folder))),
      fileExisted(fs::exists(fs::path(file))) {
  if (fileExisted) savedBytes = ReadBytes();
}

SettingsLocation::~SettingsLocation() {
  std::error_code ignored;
  if (fileExisted) {
    WriteBytes(savedBytes);
  } else {
    fs::remove(fs::path(file), ignored);
  }
  if (!folderExisted) fs::remove(fs::path(folder), ignored);
  ForgetCachedProfile();
}

void SettingsLocation::Clear() {
  std::error_code ignored;
  fs::remove(fs::path(file), ignored);
  if (!folderExisted) fs::remove(fs::path(folder), ignored);
  ForgetCachedProfile();
}

void SettingsLocation::WriteIni(std::initializer_list<Key> keys) {
  std::string text = "[config]\r\n";
  for (const Key& key : keys) text += std::string(key.first) + "=" + key.second + "\r\n";
  WriteBytes(text);
}

void SettingsLocation::WriteBytes(const std::string& bytes) {
  fs::create_directories(fs::path(folder));
  {
    std::ofstream out(fs::path(file), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
  ForgetCachedProfile();
}

std::string SettingsLocation::ReadBytes() const {
  std::ifstream in(fs::path(file), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool SettingsLocation::FileExists() const { return fs::exists(fs::path(file)); }

bool SettingsLocation::FolderExists() const { return fs::exists(fs::path(folder)); }

std::wstring SettingsLocation::ReadKey(const std::wstring& key) const {
  wchar_t buffer[4096] = {};
  GetPrivateProfileStringW(L"config", key.c_str(), L"<absent>", buffer, 4096, file.c_str());
  return buffer;
}

// The profile functions may keep a parsed copy of the file; files changed behind their back
// must be read again.
void SettingsLocation::ForgetCachedProfile() const {
  WritePrivateProfileStringW(nullptr, nullptr, nullptr, file.c_str());
}
