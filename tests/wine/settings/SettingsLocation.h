#pragma once
// The real settings location of the Wine prefix ("%APPDATA%\Sorahane\kagemira.ini"), found
// independently of the code under test. Construction remembers what is there; destruction puts
// it back, so every test leaves the location as it found it.
#include <windows.h>

#include <filesystem>
#include <initializer_list>
#include <string>
#include <utility>

class SettingsLocation {
 public:
  using Key = std::pair<const char*, const char*>;

  SettingsLocation();
  ~SettingsLocation();
  SettingsLocation(const SettingsLocation&) = delete;
  SettingsLocation& operator=(const SettingsLocation&) = delete;

  const std::wstring& FolderPath() const { return folder; }
  const std::wstring& FilePath() const { return file; }
  bool FolderExisted() const { return folderExisted; }

  // No settings file and (when it was not there before) no settings folder.
  void Clear();
  // A settings file in the system's ANSI text form: "[config]" followed by the keys.
  void WriteIni(std::initializer_list<Key> keys);
  void WriteBytes(const std::string& bytes);
  std::string ReadBytes() const;
  bool FileExists() const;
  bool FolderExists() const;

  // One value as the platform's profile read sees it; "<absent>" when the key is missing.
  std::wstring ReadKey(const std::wstring& key) const;

 private:
  void ForgetCachedProfile() const;

  std::wstring folder;
  std::wstring file;
  bool folderExisted;
  bool fileExisted;
  std::string savedBytes;
};
