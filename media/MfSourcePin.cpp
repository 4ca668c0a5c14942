#include "media/MfSourcePin.h"

#include <algorithm>
#include <cstring>

#include "media/ComQuery.h"
#include "media/ListEnumerator.h"

using Microsoft::WRL::ComPtr;

namespace {
constexpr DWORD kSeekingCapabilities = AM_SEEKING_CanSeekAbsolute | AM_SEEKING_CanSeekForwards |
                                       AM_SEEKING_CanSeekBackwards | AM_SEEKING_CanGetCurrentPos |
                                       AM_SEEKING_CanGetStopPos | AM_SEEKING_CanGetDuration;
// Video: a few frames in flight; audio: a quarter second per buffer.
constexpr long kVideoBuffers = 3;
constexpr long kAudioBuffers = 8;

AM_MEDIA_TYPE* HandOutType(const AM_MEDIA_TYPE& type) { return NewMediaTypeCopy(type); }
using MediaTypeEnumerator =
    ListEnumerator<IEnumMediaTypes, IID_IEnumMediaTypes, AM_MEDIA_TYPE*, AM_MEDIA_TYPE, HandOutType>;

OwnedMediaType VideoTypeOf(const MfVideoFormat& video) {
  OwnedMediaType offered;
  offered.format.resize(sizeof(VIDEOINFOHEADER));
  auto* info = reinterpret_cast<VIDEOINFOHEADER*>(offered.format.data());
  info->AvgTimePerFrame = video.frameTime;
  BITMAPINFOHEADER& bitmap = info->bmiHeader;
  bitmap.biSize = sizeof(BITMAPINFOHEADER);
  bitmap.biWidth = video.width;
  bitmap.biHeight = video.height;  // bottom-up, as RGB in DirectShow is by default
  bitmap.biPlanes = 1;
  bitmap.biBitCount = 32;
  bitmap.biCompression = BI_RGB;
  bitmap.biSizeImage = static_cast<DWORD>(video.width) * video.height * 4;
  offered.type.majortype = MEDIATYPE_Video;
  offered.type.subtype = MEDIASUBTYPE_RGB32;
  offered.type.formattype = FORMAT_VideoInfo;
  offered.type.bFixedSizeSamples = TRUE;
  offered.type.lSampleSize = bitmap.biSizeImage;
  return offered;
}

OwnedMediaType AudioTypeOf(const WAVEFORMATEX& wave) {
  OwnedMediaType offered;
  offered.format.resize(sizeof(WAVEFORMATEX));
  std::memcpy(offered.format.data(), &wave, sizeof(WAVEFORMATEX));
  offered.type.majortype = MEDIATYPE_Audio;
  offered.type.subtype = MEDIASUBTYPE_PCM;
  offered.type.formattype = FORMAT_WaveFormatEx;
  offered.type.bFixedSizeSamples = TRUE;
  offered.type.lSampleSize = wave.nBlockAlign;
  return offered;
}

// One buffer's size: a whole picture, or a quarter second of sound in whole blocks.
long BufferSize(const MfStreamReader& reader) {
  if (reader.kind() == MfStreamKind::Video) return reader.video().width * reader.video().height * 4;
  const WAVEFORMATEX& wave = reader.audio();
  const long quarter = static_cast<long>(wave.nAvgBytesPerSec / 4);
  return std::max<long>(wave.nBlockAlign, quarter - quarter % wave.nBlockAlign);
}
}  // namespace

MfSourcePin::MfSourcePin(IBaseFilter& filter, LightWeightMutex& filterLock, std::unique_ptr<MfStreamReader> reader,
                         std::wstring name)
    : filter_(filter), filterLock_(filterLock), reader_(std::move(reader)), name_(std::move(name)) {
  offered_ = reader_->kind() == MfStreamKind::Video ? VideoTypeOf(reader_->video()) : AudioTypeOf(reader_->audio());
  offered_.Get();
  stop_ = reader_->duration();
}

MfSourcePin::~MfSourcePin() { StopStreaming(); }

HRESULT MfSourcePin::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  if (iid == IID_IUnknown || iid == IID_IPin) {
    *object = static_cast<IPin*>(this);
  } else if (iid == IID_IMediaSeeking) {
    *object = static_cast<IMediaSeeking*>(this);
  } else {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

HRESULT MfSourcePin::Connect(IPin* receivePin, const AM_MEDIA_TYPE* type) {
  if (!receivePin) return E_POINTER;
  LockGuard guard(filterLock_);
  if (connected_) return VFW_E_ALREADY_CONNECTED;
  if (active_) return VFW_E_NOT_STOPPED;
  if (type && !MediaTypeAdmits(*type, offered_.type)) return VFW_E_TYPE_NOT_ACCEPTED;
  if (receivePin->ReceiveConnection(this, &offered_.type) != S_OK) return VFW_E_NO_ACCEPTABLE_TYPES;
  const HRESULT agreed = AgreeAllocator(receivePin);
  if (FAILED(agreed)) {
    receivePin->Disconnect();
    return agreed;
  }
  connected_ = receivePin;
  // A renderer tells its own pitch once per connection, with its first buffer.
  destinationStride_ = 0;
  bottomUp_ = true;
  return S_OK;
}

HRESULT MfSourcePin::AgreeAllocator(IPin* receivePin) {
  if (FAILED(QueryInto(receivePin, IID_IMemInputPin, input_))) return E_NOINTERFACE;
  ALLOCATOR_PROPERTIES wanted{};
  input_->GetAllocatorRequirements(&wanted);
  wanted.cBuffers = std::max(wanted.cBuffers, reader_->kind() == MfStreamKind::Video ? kVideoBuffers : kAudioBuffers);
  wanted.cbBuffer = std::max(wanted.cbBuffer, BufferSize(*reader_));
  wanted.cbAlign = std::max<long>(wanted.cbAlign, 1);

  // The renderer's own allocator first (the video renderers hand out their surfaces), else a plain one.
  for (const bool ownAllocator : {true, false}) {
    ComPtr<IMemAllocator> allocator;
    const HRESULT made = ownAllocator
                             ? input_->GetAllocator(&allocator)
                             : CoCreateInstance(CLSID_MemoryAllocator, nullptr, CLSCTX_INPROC_SERVER, IID_IMemAllocator,
                                                reinterpret_cast<void**>(allocator.GetAddressOf()));
    if (FAILED(made) || !allocator) continue;
    ALLOCATOR_PROPERTIES actual{};
    if (FAILED(allocator->SetProperties(&wanted, &actual)) || actual.cbBuffer < BufferSize(*reader_)) continue;
    if (FAILED(input_->NotifyAllocator(allocator.Get(), FALSE))) continue;
    allocator_ = allocator;
    return S_OK;
  }
  input_.Reset();
  return VFW_E_NO_ALLOCATOR;
}

HRESULT MfSourcePin::Disconnect() {
  LockGuard guard(filterLock_);
  if (active_) return VFW_E_NOT_STOPPED;
  if (!connected_) return S_FALSE;
  connected_.Reset();
  input_.Reset();
  allocator_.Reset();
  return S_OK;
}

HRESULT MfSourcePin::ConnectedTo(IPin** pin) {
  if (!pin) return E_POINTER;
  LockGuard guard(filterLock_);
  *pin = connected_.Get();
  if (!*pin) return VFW_E_NOT_CONNECTED;
  (*pin)->AddRef();
  return S_OK;
}

HRESULT MfSourcePin::ConnectionMediaType(AM_MEDIA_TYPE* type) {
  if (!type) return E_POINTER;
  LockGuard guard(filterLock_);
  if (!connected_) {
    std::memset(type, 0, sizeof(*type));
    return VFW_E_NOT_CONNECTED;
  }
  return CopyMediaTypeTo(offered_.type, type);
}

HRESULT MfSourcePin::QueryPinInfo(PIN_INFO* info) {
  if (!info) return E_POINTER;
  info->pFilter = &filter_;
  filter_.AddRef();
  info->dir = PINDIR_OUTPUT;
  const size_t length = std::min(name_.size(), static_cast<size_t>(MAX_PIN_NAME - 1));
  std::wmemcpy(info->achName, name_.c_str(), length);
  info->achName[length] = L'\0';
  return S_OK;
}

HRESULT MfSourcePin::QueryDirection(PIN_DIRECTION* direction) {
  if (!direction) return E_POINTER;
  *direction = PINDIR_OUTPUT;
  return S_OK;
}

HRESULT MfSourcePin::QueryId(LPWSTR* id) {
  if (!id) return E_POINTER;
  const size_t bytes = (name_.size() + 1) * sizeof(wchar_t);
  *id = static_cast<LPWSTR>(CoTaskMemAlloc(bytes));
  if (!*id) return E_OUTOFMEMORY;
  std::memcpy(*id, name_.c_str(), bytes);
  return S_OK;
}

HRESULT MfSourcePin::QueryAccept(const AM_MEDIA_TYPE* type) {
  if (!type) return E_POINTER;
  return MediaTypeAdmits(*type, offered_.type) ? S_OK : S_FALSE;
}

HRESULT MfSourcePin::EnumMediaTypes(IEnumMediaTypes** types) {
  if (!types) return E_POINTER;
  *types = MediaTypeEnumerator::Create(static_cast<IPin*>(this), {offered_.type});
  return S_OK;
}

HRESULT MfSourcePin::Activate() {
  active_ = true;
  if (!connected_) return S_OK;
  const HRESULT committed = allocator_->Commit();
  if (FAILED(committed)) return committed;
  StartStreaming();
  return S_OK;
}

void MfSourcePin::Deactivate() {
  active_ = false;
  if (!connected_) return;
  // Decommitting first ends a wait for a buffer; the renderers, stopped before us, no longer block.
  allocator_->Decommit();
  StopStreaming();
}

void MfSourcePin::StartStreaming() {
  LONGLONG start = 0, stop = 0;
  {
    LockGuard positions(positionLock_);
    start = start_;
    stop = stop_;
  }
  delivered_ = 0;
  current_ = start;
  streaming_ = std::make_unique<Thread>();  // after the last thread has ended
  streamed_ = {connected_, input_, allocator_};
  const HANDLE stopEvent = streaming_->stopEvent();
  // The thread holds the filter while it runs, so that neither the pin nor its reader goes away
  // under it; the filter may then end on that thread, with its release as the thread's last step.
  IBaseFilter* const filter = &filter_;
  filter->AddRef();
  streaming_->Start(
      [this, start, stop, stopEvent, filter] {
        Stream(start, stop, stopEvent);
        filter->Release();
      },
      false);
}

void MfSourcePin::StopStreaming() {
  if (!streaming_) return;
  // Stopped from within the thread's own call (a graph whose last reference a renderer let go of
  // while the end of stream passed through it), the thread cannot be waited for: it sees the stop
  // and ends by itself, and is kept until it has.
  if (!streaming_->Stop()) return;
  streaming_.reset();
  streamed_ = {};
}

// IMediaSeeking

HRESULT MfSourcePin::GetCapabilities(DWORD* capabilities) {
  if (!capabilities) return E_POINTER;
  *capabilities = kSeekingCapabilities;
  return S_OK;
}

HRESULT MfSourcePin::CheckCapabilities(DWORD* capabilities) {
  if (!capabilities) return E_POINTER;
  const DWORD asked = *capabilities;
  *capabilities &= kSeekingCapabilities;
  if (*capabilities == asked) return S_OK;
  return *capabilities ? S_FALSE : E_FAIL;
}

HRESULT MfSourcePin::IsFormatSupported(const GUID* format) {
  if (!format) return E_POINTER;
  return *format == TIME_FORMAT_MEDIA_TIME ? S_OK : S_FALSE;
}

HRESULT MfSourcePin::QueryPreferredFormat(GUID* format) { return GetTimeFormat(format); }

HRESULT MfSourcePin::GetTimeFormat(GUID* format) {
  if (!format) return E_POINTER;
  *format = TIME_FORMAT_MEDIA_TIME;
  return S_OK;
}

HRESULT MfSourcePin::IsUsingTimeFormat(const GUID* format) { return IsFormatSupported(format); }

HRESULT MfSourcePin::SetTimeFormat(const GUID* format) {
  if (!format) return E_POINTER;
  return *format == TIME_FORMAT_MEDIA_TIME ? S_OK : E_INVALIDARG;
}

HRESULT MfSourcePin::GetDuration(LONGLONG* duration) {
  if (!duration) return E_POINTER;
  *duration = reader_->duration();
  return S_OK;
}

HRESULT MfSourcePin::GetStopPosition(LONGLONG* stop) {
  if (!stop) return E_POINTER;
  LockGuard positions(positionLock_);
  *stop = stop_;
  return S_OK;
}

HRESULT MfSourcePin::GetCurrentPosition(LONGLONG* current) {
  if (!current) return E_POINTER;
  *current = current_;
  return S_OK;
}

HRESULT MfSourcePin::ConvertTimeFormat(LONGLONG* target, const GUID* targetFormat, LONGLONG source,
                                       const GUID* sourceFormat) {
  if (!target) return E_POINTER;
  const auto mediaTime = [](const GUID* format) { return !format || *format == TIME_FORMAT_MEDIA_TIME; };
  if (!mediaTime(targetFormat) || !mediaTime(sourceFormat)) return E_INVALIDARG;
  *target = source;
  return S_OK;
}

HRESULT MfSourcePin::SetPositions(LONGLONG* current, DWORD currentFlags, LONGLONG* stop, DWORD stopFlags) {
  const DWORD currentHow = currentFlags & AM_SEEKING_PositioningBitsMask;
  const DWORD stopHow = stopFlags & AM_SEEKING_PositioningBitsMask;
  if ((currentHow && !current) || (stopHow && !stop)) return E_POINTER;
  {
    LockGuard positions(positionLock_);
    LONGLONG newStart = start_, newStop = stop_;
    if (currentHow == AM_SEEKING_AbsolutePositioning)
      newStart = *current;
    else if (currentHow == AM_SEEKING_RelativePositioning)
      newStart = current_ + *current;
    if (stopHow == AM_SEEKING_AbsolutePositioning)
      newStop = *stop;
    else if (stopHow == AM_SEEKING_RelativePositioning)
      newStop = stop_ + *stop;
    if (newStart < 0 || newStop < 0) return E_INVALIDARG;
    start_ = newStart;
    stop_ = newStop;
    if (!currentHow) return S_OK;  // the stop alone is read by the next segment
    current_ = start_;
  }
  LockGuard guard(filterLock_);
  if (!active_ || !connected_) return S_OK;

  // A new segment from the new position: the renderer lets go of what it holds, the streaming
  // thread ends, and a new one starts where the stream now stands.
  connected_->BeginFlush();
  allocator_->Decommit();
  StopStreaming();
  const HRESULT committed = allocator_->Commit();
  connected_->EndFlush();
  if (FAILED(committed)) return committed;
  StartStreaming();
  return S_OK;
}

HRESULT MfSourcePin::GetPositions(LONGLONG* current, LONGLONG* stop) {
  if (current) *current = current_;
  if (stop) return GetStopPosition(stop);
  return S_OK;
}

HRESULT MfSourcePin::GetAvailable(LONGLONG* earliest, LONGLONG* latest) {
  if (earliest) *earliest = 0;
  if (latest) *latest = reader_->duration();
  return S_OK;
}

HRESULT MfSourcePin::SetRate(double rate) { return rate == 1.0 ? S_OK : E_INVALIDARG; }

HRESULT MfSourcePin::GetRate(double* rate) {
  if (!rate) return E_POINTER;
  *rate = 1.0;
  return S_OK;
}

HRESULT MfSourcePin::GetPreroll(LONGLONG* preroll) {
  if (!preroll) return E_POINTER;
  *preroll = 0;
  return S_OK;
}
