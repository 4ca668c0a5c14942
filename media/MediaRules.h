#pragma once
// The rules of the media code that need no operating system: pin selection, the volume formula,
// a captured frame's time stamp and which source filters the fallback never tries.
#include <cstdint>
#include <string>

// Pin selection flags of GetPins. Without a direction bit every direction qualifies, without a
// connection bit every pin; both bits of a pair select nothing.
enum PinSelection : uint32_t {
  PinAll = 0x00,
  PinInput = 0x01,
  PinOutput = 0x04,
  PinConnected = 0x10,
  PinUnconnected = 0x40,
};

// Whether a pin of that direction and connection state is selected by flags.
bool PinSelected(uint32_t flags, bool isOutput, bool isConnected);

// The IBasicAudio::put_Volume argument (hundredths of a decibel, 0 full, -10000 silent) for a
// volume of 0 to 100: -10000 - trunc(volume / 100.0 * -10000.0). 57 gives -4301.
long VolumeAttenuation(uint8_t volume);

// The time stamp of the next presented frame: the sample's start time when the VMR marks it
// valid, else one more than the previous stamp (wrapping as 64-bit numbers do).
constexpr uint32_t kPresentationTimeValid = 0x08;
int64_t NextPosterTime(int64_t previous, uint32_t presentationFlags, int64_t sampleStart);

// The source-filter fallback skips DirectX media objects, and with a debugger attached the filters
// whose friendly name contains "InterVideo". Both matches are case-sensitive substrings.
bool SkippedSourceCandidate(const std::wstring& displayName, const std::wstring& friendlyName, bool debuggerAttached);
