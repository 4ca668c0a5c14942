#pragma once
// One captured video frame: who captured it, its time stamp and the picture. The grabbers hold
// one each; the render thread keeps a copy of the newest.
#include <cstdint>
#include <limits>
#include <memory>

#include "render/QuadTexture.h"

struct PosterFrame {
  // The grabber that produced the frame: compared, never dereferenced.
  const void* owner = nullptr;
  // The frame's start time in 100-ns units when the renderer supplies one, else a frame counter.
  int64_t time = std::numeric_limits<int64_t>::min();
  std::unique_ptr<QuadTexture> texture;
};

// The same frame: same owner and time, and both pictures in textures of one description.
bool operator==(const PosterFrame& a, const PosterFrame& b);
inline bool operator!=(const PosterFrame& a, const PosterFrame& b) { return !(a == b); }
