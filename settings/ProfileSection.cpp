#include "settings/ProfileSection.h"

#include <boost/lexical_cast.hpp>

#include <utility>

#include "base/UniqueHandle.h"

namespace {
constexpr DWORD kStringBufferUnits = 4096;

// None when the file exists already (CREATE_NEW never truncates one that appeared meanwhile).
UniqueHandle CreateNewFile(const std::wstring& path) {
  return UniqueHandle(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
}
}  // namespace

ProfileSection::ProfileSection(std::wstring filePath, std::wstring sectionName)
    : filePath_(std::move(filePath)), sectionName_(std::move(sectionName)) {}

int ProfileSection::ReadInt(const std::wstring& key, int defaultValue) const {
  // The platform parses a sign: "-3" reads as the unsigned image of -3.
  return static_cast<int>(GetPrivateProfileIntW(sectionName_.c_str(), key.c_str(), defaultValue, filePath_.c_str()));
}

std::wstring ProfileSection::ReadString(const std::wstring& key) const {
  std::wstring buffer(kStringBufferUnits, L'\0');
  const DWORD length = GetPrivateProfileStringW(sectionName_.c_str(), key.c_str(), L"", &buffer[0], kStringBufferUnits,
                                                filePath_.c_str());
  buffer.resize(length);
  return buffer;
}

void ProfileSection::WriteString(const std::wstring& key, const std::wstring& value) const {
  WritePrivateProfileStringW(sectionName_.c_str(), key.c_str(), value.c_str(), filePath_.c_str());
}

void ProfileSection::WriteInt(const std::wstring& key, long long value) const {
  WriteString(key, boost::lexical_cast<std::wstring>(value));
}

void ProfileSection::WriteBool(const std::wstring& key, bool value) const { WriteInt(key, value ? 1 : 0); }

void ProfileSection::Flush() const { WritePrivateProfileStringW(nullptr, nullptr, nullptr, filePath_.c_str()); }

void ProfileSection::CreateAsUnicodeIfMissing() const {
  const UniqueHandle file = CreateNewFile(filePath_);
  if (!file) return;
  const unsigned char byteOrderMark[] = {0xFF, 0xFE};
  DWORD written = 0;
  WriteFile(file.get(), byteOrderMark, sizeof byteOrderMark, &written, nullptr);
}
