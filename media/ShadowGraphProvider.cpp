#include "media/ShadowGraphProvider.h"

#include <limits>

#include "base/FatalCheck.h"
#include "base/FramePacer.h"
#include "base/WindowsFrameClock.h"
#include "framedata/ImageUnpacker.h"
#include "framedata/SilhouetteConversion.h"
#include "base/LockedSurface.h"

using Microsoft::WRL::ComPtr;

namespace {
int32_t FrameCountOf(const ImageUnpacker& unpacker) {
  const uint32_t count = unpacker.frameCount();
  return count > static_cast<uint32_t>(std::numeric_limits<int32_t>::max()) ? std::numeric_limits<int32_t>::max()
                                                                            : static_cast<int32_t>(count);
}

std::unique_ptr<QuadTexture> CreateFrameTexture(IDirect3DDevice9* device, const ImageUnpacker& unpacker) {
  std::unique_ptr<QuadTexture> texture =
      QuadTexture::CreateBlank(device, unpacker.width(), unpacker.height(), 0, D3DFMT_A8R8G8B8);
  FatalUnless(texture != nullptr, "ShadowGraphProvider: frame texture");
  return texture;
}

// A system-memory surface of a texture's level size, from which the whole level is uploaded.
ComPtr<IDirect3DSurface9> CreateStagingSurface(IDirect3DDevice9* device, const QuadTexture& texture) {
  const D3DSURFACE_DESC& level = texture.LevelDescription();
  ComPtr<IDirect3DSurface9> surface;
  FatalUnless(SUCCEEDED(device->CreateOffscreenPlainSurface(level.Width, level.Height, D3DFMT_A8R8G8B8,
                                                            D3DPOOL_SYSTEMMEM, surface.GetAddressOf(), nullptr)),
              "ShadowGraphProvider: staging surface");
  return surface;
}
}  // namespace

// What only the producer's thread touches: the decoded frame and both textures' next pictures in
// system memory, so that publishing is two uploads and nothing else.
struct ShadowGraphProvider::Staging {
  std::vector<uint8_t> frame;
  ComPtr<IDirect3DSurface9> silhouette;
  ComPtr<IDirect3DSurface9> mask;
};

ShadowGraphProvider::ShadowGraphProvider(IDirect3DDevice9* device, uint8_t opacityPercent, ImageUnpacker& unpacker,
                                         int64_t firstFrame, HANDLE readyEvent, HANDLE endedEvent)
    : frameCount_(FrameCountOf(unpacker)),
      // The engine saves its position as 64 bits; frame numbers are the low 32.
      currentFrame_(static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(firstFrame)))),
      opacityPercent_(opacityPercent),
      unpacker_(unpacker),
      device_(device),
      silhouetteTexture_(CreateFrameTexture(device, unpacker)),
      maskTexture_(CreateFrameTexture(device, unpacker)),
      readyEvent_(readyEvent),
      endedEvent_(endedEvent),
      runEvent_(CreateEventOrDie(true, false)),
      startedEvent_(CreateEventOrDie(true, false)),
      idleEvent_(CreateEventOrDie(true, false)) {
  Start([this] { ProduceFrames(); }, false);
}

ShadowGraphProvider::~ShadowGraphProvider() {
  // The body uses every member below: it must have returned before the first one goes.
  Stop();
}

void ShadowGraphProvider::WaitUntilStarted() { WaitAny({startedEvent_.get()}); }

void ShadowGraphProvider::Resume() { SetEventOrDie(runEvent_.get()); }

void ShadowGraphProvider::Pause(HANDLE callerStop) {
  ResetEventOrDie(runEvent_.get());
  // A producer that has just checked it may run could still publish: wait until it is idle. One
  // that was idle and has not yet woken is stopped by the check before it publishes.
  WaitAny({callerStop, idleEvent_.get()});
}

bool ShadowGraphProvider::MayRun() const { return WaitForSingleObject(runEvent_.get(), 0) == WAIT_OBJECT_0; }

bool ShadowGraphProvider::WaitToRun(const std::vector<HANDLE>& waitList, bool& restartClock) {
  HANDLE signalled = WaitAnyFor(waitList, 0);
  if (signalled == nullptr) {
    restartClock = true;
    SetEventOrDie(idleEvent_.get());
    signalled = WaitAny(waitList);
    ResetEventOrDie(idleEvent_.get());
  }
  return signalled != stopEvent();
}

bool ShadowGraphProvider::RewindToStart() {
  LockGuard guard(*this);
  currentFrame_ = 0;
  return true;
}

HRESULT ShadowGraphProvider::DrawSilhouette(float x, float y, float width, float height) {
  LockGuard guard(*this);
  return silhouetteTexture_->DrawAt(x, y, width, height);
}

HRESULT ShadowGraphProvider::DrawMask(float x, float y, float width, float height) {
  LockGuard guard(*this);
  return maskTexture_->DrawAt(x, y, width, height);
}

void ShadowGraphProvider::Lock() { lock_.Lock(); }
void ShadowGraphProvider::Unlock() { lock_.Unlock(); }

int32_t ShadowGraphProvider::currentFrame() {
  LockGuard guard(*this);
  return currentFrame_;
}

void ShadowGraphProvider::WriteTexels(IDirect3DSurface9* surface, const std::vector<uint8_t>& frame, uint8_t opacity) {
  LockedSurface bits(surface);
  FatalUnless(SUCCEEDED(bits.result()), "ShadowGraphProvider: lock staging surface");
  WriteSilhouetteTexels(frame.data(), unpacker_.width(), unpacker_.height(), opacity,
                        reinterpret_cast<uint32_t*>(bits.Row(0)), bits.pitch());
}

// Decoding and conversion, outside the lock: the render thread is not held up by them.
void ShadowGraphProvider::PrepareFrame(int32_t frame, Staging& staging) {
  unpacker_.Unpack(static_cast<uint32_t>(frame), staging.frame);
  const uint8_t opacity = OpacityByteFromPercent(opacityPercent_);
  WriteTexels(staging.silhouette.Get(), staging.frame, opacity);
  // The mask as black texels with 255 - grey as alpha, top row first: the silhouette's texels at
  // full opacity, whatever the setting.
  WriteTexels(staging.mask.Get(), staging.frame, 255);
}

// Under the lock only the two uploads and the store. A failed upload leaves that texture with its
// previous picture; the frame still counts as published.
void ShadowGraphProvider::PublishFrame(int32_t frame, Staging& staging) {
  {
    LockGuard guard(*this);
    silhouetteTexture_->CopyFromSurface(staging.silhouette.Get());
    maskTexture_->CopyFromSurface(staging.mask.Get());
    currentFrame_ = frame;
  }
  SetEventOrDie(readyEvent_);
}

void ShadowGraphProvider::ProduceFrames() {
  Staging staging;
  staging.silhouette = CreateStagingSurface(device_.Get(), *silhouetteTexture_);
  staging.mask = CreateStagingSurface(device_.Get(), *maskTexture_);

  const int32_t first = currentFrame();
  PrepareFrame(first, staging);
  PublishFrame(first, staging);
  SetEventOrDie(startedEvent_.get());

  FramePacer pacer(WindowsFrameClock());
  int32_t advance = 1;
  bool restartClock = true;
  // Made once: a list built for every wait would allocate on every frame.
  const std::vector<HANDLE> waitList{stopEvent(), runEvent_.get()};
  for (;;) {
    if (!WaitToRun(waitList, restartClock)) return;

    const int32_t current = currentFrame();
    int64_t next = int64_t{current} + advance;
    if (next == 0 || (next >= frameCount_ && current >= frameCount_ - 1)) {
      // Past the end: idle until the render thread lets us run again, and then one period later.
      ResetEventOrDie(runEvent_.get());
      SetEventOrDie(endedEvent_);
      restartClock = true;  // also when we are let run again before the next wait
      continue;
    }
    // A late tick near the end would skip past the last frame and end the animation short of it;
    // whoever restarts us decides by "is this the last frame", so it would find it is not, let us
    // run again and at once hear of another end, for ever. The last frame is always shown instead.
    if (next >= frameCount_) next = frameCount_ - 1;
    if (restartClock) {
      pacer.Start();
      restartClock = false;
    }
    PrepareFrame(static_cast<int32_t>(next), staging);
    advance = pacer.WaitNextFrame();
    // Held while waiting for the tick: the frame in hand is published one period after the next run
    // starts, as if the pause had not been.
    while (!MayRun()) {
      if (!WaitToRun(waitList, restartClock)) return;
      pacer.Start();
      restartClock = false;
      advance = pacer.WaitNextFrame();
    }
    PublishFrame(static_cast<int32_t>(next), staging);
  }
}
