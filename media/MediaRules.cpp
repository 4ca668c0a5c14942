#include "media/MediaRules.h"

bool PinSelected(uint32_t flags, bool isOutput, bool isConnected) {
  const bool wantInput = (flags & PinInput) != 0, wantOutput = (flags & PinOutput) != 0;
  if (wantInput && wantOutput) return false;
  if (wantInput && isOutput) return false;
  if (wantOutput && !isOutput) return false;
  const bool wantConnected = (flags & PinConnected) != 0, wantUnconnected = (flags & PinUnconnected) != 0;
  if (wantConnected && wantUnconnected) return false;
  if (wantConnected && !isConnected) return false;
  if (wantUnconnected && isConnected) return false;
  return true;
}

long VolumeAttenuation(uint8_t volume) {
  // In double precision and truncated toward zero, exactly so: 57 must give -4301, 69 -3101.
  const long truncated = static_cast<long>(volume / 100.0 * -10000.0);
  return -10000 - truncated;
}

int64_t NextPosterTime(int64_t previous, uint32_t presentationFlags, int64_t sampleStart) {
  if (presentationFlags & kPresentationTimeValid) return sampleStart;
  return static_cast<int64_t>(static_cast<uint64_t>(previous) + 1u);
}

bool SkippedSourceCandidate(const std::wstring& displayName, const std::wstring& friendlyName, bool debuggerAttached) {
  if (displayName.find(L"@device:dmo:") != std::wstring::npos) return true;
  return debuggerAttached && friendlyName.find(L"InterVideo") != std::wstring::npos;
}
