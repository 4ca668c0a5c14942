#include "AudioCapture.h"

#include <windows.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "engine/UniqueHandle.h"

namespace {
UniqueHandle OpenShared(const std::wstring& path) {
  // The capture device keeps writing while we read.
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  return UniqueHandle(file);
}

uint64_t SizeOf(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return 0;
  return (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}
}  // namespace

AudioCapture::AudioCapture() {
  if (const wchar_t* path = _wgetenv(L"KAGEMIRA_AUDIO_CAPTURE")) path_ = path;
  if (!path_.empty()) mark_ = SizeOf(path_) / 8 * 8;  // whole stereo frames
}

AudioLevels AudioCapture::Levels(double threshold) const {
  AudioLevels levels;
  UniqueHandle file = OpenShared(path_);
  if (!file) return levels;
  LARGE_INTEGER at;
  at.QuadPart = static_cast<LONGLONG>(mark_);
  if (!SetFilePointerEx(file.get(), at, nullptr, FILE_BEGIN)) return levels;
  std::vector<float> samples(1 << 16);
  double sum = 0;
  uint64_t sounding = 0;
  DWORD read = 0;
  while (ReadFile(file.get(), samples.data(), static_cast<DWORD>(samples.size() * sizeof(float)), &read, nullptr) &&
         read > 0) {
    for (size_t i = 0; i < read / sizeof(float); ++i) {
      const double magnitude = std::fabs(samples[i]);
      if (magnitude > levels.peak) levels.peak = magnitude;
      if (magnitude > threshold) {
        sum += magnitude * magnitude;
        ++sounding;
      }
    }
  }
  levels.rms = sounding ? std::sqrt(sum / static_cast<double>(sounding)) : 0.0;
  levels.sounding = sounding / 2;
  return levels;
}

double DecibelsBetween(double level, double reference) { return 20.0 * std::log10(level / reference); }
