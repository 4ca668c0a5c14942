#include "media/FrameSlot.h"

#include "media/MediaRules.h"

FrameSlot::FrameSlot(const void* owner) : owner_(owner) {}

FrameSlot::~FrameSlot() = default;

void FrameSlot::Lock() { lock_.Lock(); }
void FrameSlot::Unlock() { lock_.Unlock(); }

bool FrameSlot::CopyFrame(PosterFrame& frame) {
  LockGuard guard(lock_);
  if (!poster_ || !poster_->texture) return false;
  if (frame == *poster_) return true;  // the render thread holds this frame already
  frame.owner = poster_->owner;
  frame.time = poster_->time;
  if (frame.texture) {
    frame.texture->CopyTexture(*poster_->texture);
  } else {
    frame.texture = QuadTexture::CloneTexture(*poster_->texture);
  }
  return true;
}

void FrameSlot::SetFrameEvent(HANDLE event) {
  LockGuard guard(lock_);
  frameEvent_ = event;
}

void FrameSlot::NewPoster(std::unique_ptr<QuadTexture> texture) {
  auto poster = std::make_unique<PosterFrame>();
  poster->owner = owner_;
  poster->texture = std::move(texture);
  poster_ = std::move(poster);
}

void FrameSlot::StampPoster(uint32_t presentationFlags, int64_t sampleStart) {
  poster_->time = NextPosterTime(poster_->time, presentationFlags, sampleStart);
}

void FrameSlot::AnnounceFrame() {
  ++framesPresented_;
  if (frameEvent_) SetEvent(frameEvent_);
}
