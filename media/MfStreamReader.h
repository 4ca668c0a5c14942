#pragma once
// One stream of a media file, decoded by Media Foundation's source reader: the first video stream
// as RGB32 (or, where the reader will not convert, NV12 or YUY2), or the first audio stream as PCM.
// Each pin of the source filter owns one, so that its streaming thread reads and seeks alone.
#include <windows.h>
#include <mfapi.h>
#include <mfidl.h>
#include <mfreadwrite.h>
#include <mmreg.h>
#include <wrl/client.h>

#include <cstdint>
#include <memory>
#include <string>

#include "media/YuvToRgb.h"

class MfRuntime;

enum class MfStreamKind { Video, Audio };

struct MfVideoFormat {
  GUID subtype = GUID_NULL;  // MFVideoFormat_RGB32, _NV12 or _YUY2
  int width = 0;             // the picture shown: the display aperture where the file gives one
  int height = 0;
  int codedHeight = 0;     // rows in a decoded buffer (a 1080-row picture is decoded as 1088)
  LONG stride = 0;         // bytes per row of a buffer without a pitch of its own
  LONGLONG frameTime = 0;  // 100 ns per frame; 0 when the file does not say
  YuvMatrix matrix = YuvMatrix::Bt601;
};

// What one read gave.
struct MfReadSample {
  enum class Result { Sample, EndOfStream, Failed } result = Result::Failed;
  Microsoft::WRL::ComPtr<IMFSample> sample;  // with Sample only
  LONGLONG time = 0;                         // 100 ns from the start of the file
  LONGLONG duration = 0;
};

class MfStreamReader {
 public:
  // Null when the file cannot be read, has no stream of that kind, or no decoder for it.
  static std::unique_ptr<MfStreamReader> Open(std::shared_ptr<MfRuntime> runtime, const std::wstring& path,
                                              MfStreamKind kind);
  // Opens given up on because the reader did not answer in time, in this process so far: each
  // leaves a thread behind inside the system's libraries.
  static int abandonedOpens();
  ~MfStreamReader();
  MfStreamReader(const MfStreamReader&) = delete;
  MfStreamReader& operator=(const MfStreamReader&) = delete;

  MfStreamKind kind() const { return kind_; }
  const MfVideoFormat& video() const { return video_; }
  const WAVEFORMATEX& audio() const { return audio_; }
  // The file's length in 100 ns; 0 when unknown.
  LONGLONG duration() const { return duration_; }

  MfReadSample Read();
  // The next Read starts at the key frame at or before position (100 ns).
  bool Seek(LONGLONG position);

 private:
  MfStreamReader(std::shared_ptr<MfRuntime> runtime, std::wstring path, MfStreamKind kind);
  // A new source reader on the file, its stream chosen and decoded.
  bool Prepare();
  bool ChooseVideoOutput();
  bool ChooseAudioOutput();
  // bitsPerSample 0: as the decoder gives them.
  bool SetOutput(const GUID& major, const GUID& subtype, UINT32 bitsPerSample);
  DWORD streamIndex() const;

  // Declared first: the reader goes before the runtime it was made with.
  std::shared_ptr<MfRuntime> runtime_;
  Microsoft::WRL::ComPtr<IMFSourceReader> reader_;
  const std::wstring path_;
  const MfStreamKind kind_;
  bool ended_ = false;  // the last read met the end or an error
  MfVideoFormat video_;
  WAVEFORMATEX audio_{};
  LONGLONG duration_ = 0;
};

// A media buffer locked for reading for one scope; data is null when the lock failed.
class LockedMediaBuffer {
 public:
  explicit LockedMediaBuffer(IMFMediaBuffer* buffer);
  ~LockedMediaBuffer();
  LockedMediaBuffer(const LockedMediaBuffer&) = delete;
  LockedMediaBuffer& operator=(const LockedMediaBuffer&) = delete;

  const BYTE* data = nullptr;
  DWORD length = 0;
  // The rows' pitch when the buffer is a 2-D one, else 0.
  LONG pitch = 0;

 private:
  Microsoft::WRL::ComPtr<IMFMediaBuffer> buffer_;
  Microsoft::WRL::ComPtr<IMF2DBuffer> buffer2d_;
};
