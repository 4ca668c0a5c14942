#pragma once
// The media files made at build time by tests/media/make-test-media.sh, beside the test programs
// (<build>/tests/media), and copies of them under awkward names.
#include <string>
#include <vector>

// The full Windows path of one of those files.
std::wstring TestMedia(const std::wstring& name);

// A copy of a test medium under another path; the copy and the folders made for it are deleted
// with the object.
class MediaCopy {
 public:
  MediaCopy(const std::wstring& medium, const std::wstring& copyPath);
  ~MediaCopy();
  MediaCopy(const MediaCopy&) = delete;
  MediaCopy& operator=(const MediaCopy&) = delete;
  const std::wstring& path() const { return path_; }
  bool ok() const { return ok_; }

 private:
  std::wstring path_;
  std::vector<std::wstring> madeFolders_;  // outermost first
  bool ok_ = false;
};
