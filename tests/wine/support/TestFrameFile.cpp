#include "TestFrameFile.h"

#include <windows.h>
#include <zlib.h>

#include <cstdio>
#include <vector>

std::wstring ProgramFolder() {
  wchar_t path[MAX_PATH];
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path);
  return folder.substr(0, folder.find_last_of(L"\\/") + 1);
}

bool WriteTestFrameFile(const std::wstring& path, uint32_t width, uint32_t height, uint32_t frames,
                        const std::function<uint8_t(uint32_t frame)>& greyOf) {
  std::vector<uint32_t> words{width, height, frames, 0};
  std::vector<uint8_t> data;
  for (uint32_t i = 0; i < frames; ++i) {
    std::vector<uint8_t> picture(static_cast<size_t>(width) * height, greyOf(i));
    uLongf size = compressBound(static_cast<uLong>(picture.size()));
    std::vector<uint8_t> record(size);
    if (compress(record.data(), &size, picture.data(), static_cast<uLong>(picture.size())) != Z_OK) return false;
    words.push_back(static_cast<uint32_t>(data.size()));
    words.push_back(static_cast<uint32_t>(size));
    data.insert(data.end(), record.begin(), record.begin() + static_cast<std::ptrdiff_t>(size));
  }
  words[3] = static_cast<uint32_t>(data.size());
  FILE* out = _wfopen(path.c_str(), L"wb");
  if (out == nullptr) return false;
  const bool written = fwrite(words.data(), 4, words.size(), out) == words.size() &&
                       fwrite(data.data(), 1, data.size(), out) == data.size();
  return fclose(out) == 0 && written;
}
