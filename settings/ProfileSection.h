#pragma once
// One section of one ini file, read and written through the platform's private-profile
// functions.
#include <windows.h>

#include <string>

class ProfileSection {
 public:
  ProfileSection(std::wstring filePath, std::wstring sectionName);
  virtual ~ProfileSection() = default;

  // The platform's integer read: absent key (or file) gives defaultValue.
  int ReadInt(const std::wstring& key, int defaultValue) const;
  // At most 4095 characters; absent key (or file) gives an empty string.
  std::wstring ReadString(const std::wstring& key) const;

  void WriteString(const std::wstring& key, const std::wstring& value) const;
  void WriteInt(const std::wstring& key, long long value) const;
  void WriteBool(const std::wstring& key, bool value) const;

  // Writes the platform's cached copy of the file to disk.
  void Flush() const;

  // The profile functions create a missing file in the ANSI code page, which turns characters
  // outside it into '?'. A file that starts out as UTF-16 stays UTF-16, so a missing file is
  // created holding only the byte-order mark. An existing file is left as it is.
  void CreateAsUnicodeIfMissing() const;

 private:
  std::wstring filePath_;
  std::wstring sectionName_;
};
