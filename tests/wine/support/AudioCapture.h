#pragma once
// What DirectSound played in this program, as the harness captured it (harness_capture_audio in
// tools/lib/harness.sh, which tools/lib/wine-stream.sh and `tools/harness --capture-audio` use):
// raw interleaved 32-bit float samples, 2 channels, in the file named by KAGEMIRA_AUDIO_CAPTURE and
// in one numbered sibling (".0001", ...) per later opening of the sound device. The capture device
// is not paced, so the levels of what sounds are faithful and durations are not: compare peaks and
// RMS, and ask for "some sound", never for a length.
#include <cstdint>
#include <string>
#include <vector>

struct AudioLevels {
  double peak = 0;        // largest absolute sample
  double rms = 0;         // RMS of the sounding samples
  uint64_t sounding = 0;  // samples per channel above the threshold
};

class AudioCapture {
 public:
  // Marks the end of what was captured so far: Levels() reads only what comes after.
  AudioCapture();
  // True when the harness captures this program's sound.
  bool available() const { return !path_.empty(); }
  AudioLevels Levels(double threshold = 0.0001) const;

 private:
  // The capture files in the order they were made.
  std::vector<std::wstring> Files() const;

  std::wstring path_;
  std::vector<uint64_t> marks_;  // per file, the size it had at the mark
};

// Decibels of a level against a reference level (both above 0).
double DecibelsBetween(double level, double reference);
