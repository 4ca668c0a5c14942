// The streaming thread of a Media Foundation source pin: reads its stream from the segment's start,
// converts each picture into the renderer's buffer (or cuts the sound into buffers), stamps it
// relative to the segment and delivers it, until the stream or the segment ends (end of stream
// downstream) or the thread is told to stop. Nothing is allocated per sample: the buffers are the
// allocator's, the decoded samples Media Foundation's.
#include <algorithm>
#include <cstring>

#include "media/ComForThisThread.h"
#include "media/MfSourcePin.h"

using Microsoft::WRL::ComPtr;

namespace {
bool StopRequested(HANDLE stopEvent) { return WaitForSingleObject(stopEvent, 0) == WAIT_OBJECT_0; }
}  // namespace

void MfSourcePin::Stream(LONGLONG start, LONGLONG stop, HANDLE stopEvent) {
  const ComForThisThread com;
  const LONGLONG duration = reader_->duration();
  // A stop at or past the end (or an unknown length) is the stream's own end.
  const bool bounded = stop > 0 && (duration == 0 || stop < duration);
  discontinuity_ = true;
  streamed_.pin->NewSegment(start, bounded ? stop : duration, 1.0);
  // A stream that cannot seek or fails part-way ends there, as a cut-off file does.
  if (reader_->Seek(start)) {
    while (!StopRequested(stopEvent)) {
      const MfReadSample read = reader_->Read();
      if (read.result != MfReadSample::Result::Sample || (bounded && read.time >= stop)) break;
      current_ = read.time;
      const bool delivered =
          reader_->kind() == MfStreamKind::Video ? DeliverVideo(read, start) : DeliverAudio(read, start);
      // Downstream refusing more (stopping, flushing) is no end of the stream.
      if (!delivered) return;
    }
  }
  if (!StopRequested(stopEvent)) streamed_.pin->EndOfStream();
}

bool MfSourcePin::Deliver(IMediaSample* sample, LONGLONG sampleStart, LONGLONG sampleEnd) {
  sample->SetTime(&sampleStart, &sampleEnd);
  sample->SetSyncPoint(TRUE);
  // What lies before the segment's start (from the key frame on) is decoded but not shown.
  sample->SetPreroll(sampleEnd <= 0 && sampleStart < 0 ? TRUE : FALSE);
  sample->SetDiscontinuity(discontinuity_ ? TRUE : FALSE);
  discontinuity_ = false;
  const HRESULT received = streamed_.input->Receive(sample);
  if (received != S_OK) return false;
  ++delivered_;
  return true;
}

void MfSourcePin::AdoptDownstreamType(IMediaSample* sample) {
  AM_MEDIA_TYPE* handedOut = nullptr;
  if (sample->GetMediaType(&handedOut) != S_OK || !handedOut) return;
  const HandedOutMediaType changed(handedOut);
  if (changed->formattype != FORMAT_VideoInfo || changed->cbFormat < sizeof(VIDEOINFOHEADER)) return;
  const BITMAPINFOHEADER& bitmap = reinterpret_cast<const VIDEOINFOHEADER*>(changed->pbFormat)->bmiHeader;
  // The renderer's surfaces are wider than the picture: their pitch comes as the width.
  destinationStride_ = bitmap.biWidth * 4;
  bottomUp_ = bitmap.biHeight > 0;
}

bool MfSourcePin::DeliverVideo(const MfReadSample& read, LONGLONG start) {
  ComPtr<IMFMediaBuffer> buffer;
  if (FAILED(read.sample->ConvertToContiguousBuffer(&buffer))) return true;  // this picture is lost, not the stream
  const LockedMediaBuffer source(buffer.Get());
  if (!source.data) return true;

  ComPtr<IMediaSample> sample;
  if (FAILED(streamed_.allocator->GetBuffer(&sample, nullptr, nullptr, 0))) return false;
  AdoptDownstreamType(sample.Get());
  BYTE* target = nullptr;
  if (FAILED(sample->GetPointer(&target))) return false;

  const MfVideoFormat& video = reader_->video();
  const LONG pitch = source.pitch ? source.pitch : video.stride;
  const LONG rowBytes = destinationStride_ ? destinationStride_ : video.width * 4;
  const long needed = rowBytes * video.height;
  if (sample->GetSize() < needed) return false;
  // Bottom-up: the first row read is the last row of the buffer.
  uint8_t* firstRow = bottomUp_ ? target + static_cast<ptrdiff_t>(video.height - 1) * rowBytes : target;
  const ptrdiff_t step = bottomUp_ ? -static_cast<ptrdiff_t>(rowBytes) : rowBytes;
  const PlaneView luma{source.data, pitch};
  if (video.subtype == MFVideoFormat_NV12) {
    // The chroma plane follows the decoded rows; some decoders pad them to a multiple of 16 without
    // saying so in the type, which the buffer's length tells.
    const int paddedRows = (video.codedHeight + 15) & ~15;
    const bool padded = source.length >= static_cast<DWORD>(pitch) * paddedRows * 3 / 2;
    const PlaneView chroma{source.data + static_cast<ptrdiff_t>(pitch) * (padded ? paddedRows : video.codedHeight),
                           pitch};
    Nv12ToBgrx(luma, chroma, video.width, video.height, video.matrix, firstRow, step);
  } else if (video.subtype == MFVideoFormat_YUY2) {
    Yuy2ToBgrx(luma, video.width, video.height, video.matrix, firstRow, step);
  } else {
    CopyBgrxRows(luma, video.width, video.height, firstRow, step);
  }
  sample->SetActualDataLength(needed);
  const LONGLONG frameTime = read.duration > 0 ? read.duration : video.frameTime;
  return Deliver(sample.Get(), read.time - start, read.time - start + frameTime);
}

bool MfSourcePin::DeliverAudio(const MfReadSample& read, LONGLONG start) {
  ComPtr<IMFMediaBuffer> buffer;
  if (FAILED(read.sample->ConvertToContiguousBuffer(&buffer))) return true;
  const LockedMediaBuffer source(buffer.Get());
  if (!source.data) return true;

  const WAVEFORMATEX& wave = reader_->audio();
  DWORD offset = 0;
  while (offset < source.length) {
    ComPtr<IMediaSample> sample;
    if (FAILED(streamed_.allocator->GetBuffer(&sample, nullptr, nullptr, 0))) return false;
    BYTE* target = nullptr;
    if (FAILED(sample->GetPointer(&target))) return false;
    const long room = sample->GetSize() - sample->GetSize() % wave.nBlockAlign;
    const DWORD bytes = std::min<DWORD>(source.length - offset, static_cast<DWORD>(room));
    std::memcpy(target, source.data + offset, bytes);
    sample->SetActualDataLength(static_cast<long>(bytes));
    // Each piece's time from its place in the decoded block.
    const LONGLONG pieceStart = read.time - start + static_cast<LONGLONG>(offset) * 10000000 / wave.nAvgBytesPerSec;
    const LONGLONG pieceEnd = pieceStart + static_cast<LONGLONG>(bytes) * 10000000 / wave.nAvgBytesPerSec;
    if (!Deliver(sample.Get(), pieceStart, pieceEnd)) return false;
    offset += bytes;
  }
  return true;
}
