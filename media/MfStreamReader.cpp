#include "media/MfStreamReader.h"

#include <atomic>

#include "base/UniqueHandle.h"
#include "media/ComForThisThread.h"
#include "media/ComQuery.h"
#include "media/MfRuntime.h"

using Microsoft::WRL::ComPtr;

namespace {
// How long opening a file may take before it counts as unreadable: some readers never answer for
// some broken files (Wine's, for an MPEG-4 file cut off before its index).
constexpr DWORD kOpenLimitMs = 5000;
std::atomic<int> abandoned{0};

// A reader being prepared on a thread of its own, shared with that thread: a thread that never
// comes back keeps it (and the runtime) to itself.
struct Opening {
  std::unique_ptr<MfStreamReader> stream;
  bool prepared = false;
};
using SharedOpening = std::shared_ptr<Opening>;

// Pictures in the order the renderers can take them: RGB32 needs no conversion of ours.
const GUID* const kVideoOutputs[] = {&MFVideoFormat_RGB32, &MFVideoFormat_NV12, &MFVideoFormat_YUY2};

LONG DefaultStride(const GUID& subtype, int width) {
  if (subtype == MFVideoFormat_RGB32) return width * 4;
  if (subtype == MFVideoFormat_YUY2) return width * 2;
  return width;  // NV12's luma rows; its chroma rows have the same pitch
}
}  // namespace

int MfStreamReader::abandonedOpens() { return abandoned; }

MfStreamReader::MfStreamReader(std::shared_ptr<MfRuntime> runtime, std::wstring path, MfStreamKind kind)
    : runtime_(std::move(runtime)), path_(std::move(path)), kind_(kind) {}

MfStreamReader::~MfStreamReader() = default;

DWORD MfStreamReader::streamIndex() const {
  return static_cast<DWORD>(kind_ == MfStreamKind::Video ? MF_SOURCE_READER_FIRST_VIDEO_STREAM
                                                         : MF_SOURCE_READER_FIRST_AUDIO_STREAM);
}

std::unique_ptr<MfStreamReader> MfStreamReader::Open(std::shared_ptr<MfRuntime> runtime, const std::wstring& path,
                                                     MfStreamKind kind) {
  if (!runtime) return nullptr;
  const auto opening = std::make_shared<Opening>();
  opening->stream.reset(new MfStreamReader(std::move(runtime), path, kind));
  const auto prepare = [](void* handedOver) -> DWORD {
    const std::unique_ptr<SharedOpening> held(static_cast<SharedOpening*>(handedOver));
    const ComForThisThread com;
    (*held)->prepared = (*held)->stream->Prepare();
    return 0;
  };
  auto handedOver = std::make_unique<SharedOpening>(opening);
  UniqueHandle thread(CreateThread(nullptr, 0, prepare, handedOver.get(), 0, nullptr));
  if (!thread) return nullptr;
  handedOver.release();  // the thread's now
  if (WaitForSingleObject(thread.get(), kOpenLimitMs) != WAIT_OBJECT_0) {
    ++abandoned;
    return nullptr;
  }
  if (!opening->prepared) return nullptr;

  std::unique_ptr<MfStreamReader> stream = std::move(opening->stream);
  PROPVARIANT duration;
  PropVariantInit(&duration);
  if (SUCCEEDED(stream->reader_->GetPresentationAttribute(static_cast<DWORD>(MF_SOURCE_READER_MEDIASOURCE),
                                                          MF_PD_DURATION, &duration)) &&
      duration.vt == VT_UI8) {
    stream->duration_ = static_cast<LONGLONG>(duration.uhVal.QuadPart);
  }
  PropVariantClear(&duration);
  return stream;
}

bool MfStreamReader::Prepare() {
  reader_.Reset();
  ComPtr<IMFAttributes> attributes;
  if (FAILED(runtime_->CreateAttributes(&attributes, 1))) return false;
  // Lets the reader convert decoded video to RGB32 where the system can (Windows 7 and later).
  if (kind_ == MfStreamKind::Video) attributes->SetUINT32(MF_SOURCE_READER_ENABLE_VIDEO_PROCESSING, TRUE);
  if (FAILED(runtime_->CreateSourceReader(path_, attributes.Get(), &reader_))) return false;
  if (FAILED(reader_->SetStreamSelection(static_cast<DWORD>(MF_SOURCE_READER_ALL_STREAMS), FALSE)) ||
      FAILED(reader_->SetStreamSelection(streamIndex(), TRUE))) {
    return false;
  }
  return kind_ == MfStreamKind::Video ? ChooseVideoOutput() : ChooseAudioOutput();
}

bool MfStreamReader::SetOutput(const GUID& major, const GUID& subtype, UINT32 bitsPerSample) {
  ComPtr<IMFMediaType> type;
  if (FAILED(runtime_->CreateMediaType(&type))) return false;
  type->SetGUID(MF_MT_MAJOR_TYPE, major);
  type->SetGUID(MF_MT_SUBTYPE, subtype);
  if (bitsPerSample) type->SetUINT32(MF_MT_AUDIO_BITS_PER_SAMPLE, bitsPerSample);
  return SUCCEEDED(reader_->SetCurrentMediaType(streamIndex(), nullptr, type.Get()));
}

bool MfStreamReader::ChooseVideoOutput() {
  for (const GUID* subtype : kVideoOutputs) {
    if (!SetOutput(MFMediaType_Video, *subtype, 0)) continue;
    ComPtr<IMFMediaType> type;
    if (FAILED(reader_->GetCurrentMediaType(streamIndex(), &type))) return false;
    UINT32 width = 0, height = 0;
    if (FAILED(MFGetAttributeSize(type.Get(), MF_MT_FRAME_SIZE, &width, &height)) || width == 0 || height == 0) {
      return false;
    }
    video_.subtype = *subtype;
    video_.width = static_cast<int>(width);
    video_.height = video_.codedHeight = static_cast<int>(height);
    MFVideoArea aperture{};
    if (SUCCEEDED(type->GetBlob(MF_MT_MINIMUM_DISPLAY_APERTURE, reinterpret_cast<UINT8*>(&aperture), sizeof(aperture),
                                nullptr)) &&
        aperture.Area.cx > 0 && aperture.Area.cy > 0 && aperture.Area.cx <= video_.width &&
        aperture.Area.cy <= video_.height) {
      video_.width = aperture.Area.cx;
      video_.height = aperture.Area.cy;
    }
    // The default stride is negative for bottom-up RGB; the rows are read top-down either way.
    const LONG stride = static_cast<LONG>(MFGetAttributeUINT32(type.Get(), MF_MT_DEFAULT_STRIDE, 0));
    video_.stride = stride > 0 ? stride : DefaultStride(*subtype, video_.width);
    UINT32 numerator = 0, denominator = 0;
    if (SUCCEEDED(MFGetAttributeRatio(type.Get(), MF_MT_FRAME_RATE, &numerator, &denominator)) && numerator) {
      video_.frameTime = static_cast<LONGLONG>(10000000ull * denominator / numerator);
    }
    video_.matrix =
        MFGetAttributeUINT32(type.Get(), MF_MT_YUV_MATRIX, MFVideoTransferMatrix_BT601) == MFVideoTransferMatrix_BT709
            ? YuvMatrix::Bt709
            : YuvMatrix::Bt601;
    return true;
  }
  return false;
}

bool MfStreamReader::ChooseAudioOutput() {
  // 16-bit samples where the decoder offers them (every renderer takes those), else its own size.
  if (!SetOutput(MFMediaType_Audio, MFAudioFormat_PCM, 16) && !SetOutput(MFMediaType_Audio, MFAudioFormat_PCM, 0)) {
    return false;
  }
  ComPtr<IMFMediaType> type;
  if (FAILED(reader_->GetCurrentMediaType(streamIndex(), &type))) return false;
  const UINT32 channels = MFGetAttributeUINT32(type.Get(), MF_MT_AUDIO_NUM_CHANNELS, 0);
  const UINT32 rate = MFGetAttributeUINT32(type.Get(), MF_MT_AUDIO_SAMPLES_PER_SECOND, 0);
  const UINT32 bits = MFGetAttributeUINT32(type.Get(), MF_MT_AUDIO_BITS_PER_SAMPLE, 16);
  if (channels == 0 || rate == 0 || bits % 8 != 0) return false;
  audio_.wFormatTag = WAVE_FORMAT_PCM;
  audio_.nChannels = static_cast<WORD>(channels);
  audio_.nSamplesPerSec = rate;
  audio_.wBitsPerSample = static_cast<WORD>(bits);
  audio_.nBlockAlign = static_cast<WORD>(channels * bits / 8);
  audio_.nAvgBytesPerSec = rate * audio_.nBlockAlign;
  return true;
}

MfReadSample MfStreamReader::Read() {
  MfReadSample read;
  DWORD flags = 0;
  for (;;) {
    const HRESULT hr = reader_->ReadSample(streamIndex(), 0, nullptr, &flags, &read.time, &read.sample);
    if (FAILED(hr) || (flags & MF_SOURCE_READERF_ERROR)) {
      ended_ = true;
      read.result = MfReadSample::Result::Failed;
      return read;
    }
    if (flags & MF_SOURCE_READERF_ENDOFSTREAM) {
      ended_ = true;
      read.result = MfReadSample::Result::EndOfStream;
      return read;
    }
    // A gap in the stream gives no sample: read on.
    if (read.sample) break;
  }
  if (FAILED(read.sample->GetSampleDuration(&read.duration))) read.duration = 0;
  read.result = MfReadSample::Result::Sample;
  return read;
}

bool MfStreamReader::Seek(LONGLONG position) {
  // Some readers (Wine's) stay at the end once they reached it, whatever the position: a stream
  // that ended starts over with a new reader.
  if (ended_) {
    if (!Prepare()) return false;
    ended_ = false;
  }
  PROPVARIANT at;
  PropVariantInit(&at);
  at.vt = VT_I8;
  at.hVal.QuadPart = position;
  return SUCCEEDED(reader_->SetCurrentPosition(GUID_NULL, at));
}

LockedMediaBuffer::LockedMediaBuffer(IMFMediaBuffer* buffer) : buffer_(buffer) {
  BYTE* bytes = nullptr;
  if (SUCCEEDED(QueryInto(buffer, IID_IMF2DBuffer, buffer2d_)) && SUCCEEDED(buffer2d_->Lock2D(&bytes, &pitch))) {
    data = bytes;
    buffer2d_->GetContiguousLength(&length);
    return;
  }
  buffer2d_.Reset();
  pitch = 0;
  DWORD maxLength = 0;
  if (SUCCEEDED(buffer->Lock(&bytes, &maxLength, &length)))
    data = bytes;
  else
    buffer_.Reset();
}

LockedMediaBuffer::~LockedMediaBuffer() {
  if (buffer2d_)
    buffer2d_->Unlock2D();
  else if (buffer_ && data)
    buffer_->Unlock();
}
