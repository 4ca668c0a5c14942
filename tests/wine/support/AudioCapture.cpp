#include "AudioCapture.h"

#include <windows.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "base/UniqueHandle.h"

namespace {
bool SizeOf(const std::wstring& path, uint64_t& size) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return false;
  size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  return true;
}

void Accumulate(const std::wstring& path, uint64_t from, double threshold, AudioLevels& levels, double& sum) {
  // The capture device may still be writing.
  UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return;
  LARGE_INTEGER at;
  at.QuadPart = static_cast<LONGLONG>(from / 8 * 8);  // whole stereo frames
  if (!SetFilePointerEx(file.get(), at, nullptr, FILE_BEGIN)) return;
  std::vector<float> samples(1 << 16);
  DWORD read = 0;
  while (ReadFile(file.get(), samples.data(), static_cast<DWORD>(samples.size() * sizeof(float)), &read, nullptr) &&
         read > 0) {
    for (size_t i = 0; i < read / sizeof(float); ++i) {
      const double magnitude = std::fabs(samples[i]);
      if (magnitude > levels.peak) levels.peak = magnitude;
      if (magnitude > threshold) {
        sum += magnitude * magnitude;
        ++levels.sounding;
      }
    }
  }
}
}  // namespace

AudioCapture::AudioCapture() {
  if (const wchar_t* path = _wgetenv(L"KAGEMIRA_AUDIO_CAPTURE")) path_ = path;
  for (const std::wstring& file : Files()) {
    uint64_t size = 0;
    SizeOf(file, size);
    marks_.push_back(size);
  }
}

std::vector<std::wstring> AudioCapture::Files() const {
  std::vector<std::wstring> files;
  if (path_.empty()) return files;
  uint64_t size;
  if (SizeOf(path_, size)) files.push_back(path_);
  for (int number = 1; number <= 9999; ++number) {
    wchar_t suffix[8];
    std::swprintf(suffix, 8, L".%04d", number);
    if (!SizeOf(path_ + suffix, size)) break;
    files.push_back(path_ + suffix);
  }
  return files;
}

AudioLevels AudioCapture::Levels(double threshold) const {
  AudioLevels levels;
  double sum = 0;
  const std::vector<std::wstring> files = Files();
  for (size_t i = 0; i < files.size(); ++i) {
    Accumulate(files[i], i < marks_.size() ? marks_[i] : 0, threshold, levels, sum);
  }
  levels.rms = levels.sounding ? std::sqrt(sum / static_cast<double>(levels.sounding)) : 0.0;
  levels.sounding /= 2;
  return levels;
}

double DecibelsBetween(double level, double reference) { return 20.0 * std::log10(level / reference); }
