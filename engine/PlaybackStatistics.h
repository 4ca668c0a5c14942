#pragma once
// What the playback has done so far, for diagnostics, tests and benchmarks: written by the
// playback thread (and, for the layered window's updates, by the window thread), read by anyone.
// The engine holds one for its whole life; a new playback thread counts on.
#include <atomic>
#include <cstdint>

struct PlaybackStatistics {
  // The packed frame drawn last (-1 before the first); the time stamp of the shadow-movie frame
  // drawn last.
  std::atomic<int64_t> lastDrawnFrame{-1};
  std::atomic<int64_t> lastMovieFrameTime{INT64_MIN};
  // How often the animation, the shadow movie or the background media restarted (mediaRestarts:
  // the media ended first and restarted alone; movieRestarts: the movie ended).
  std::atomic<uint32_t> restarts{0};
  std::atomic<uint32_t> mediaRestarts{0};
  std::atomic<uint32_t> movieRestarts{0};
  // How many frames were presented, and how many of them showed a new background video frame or a
  // new shadow-movie frame; how many frames the layered window was handed.
  std::atomic<uint64_t> framesPresented{0};
  std::atomic<uint64_t> videoFramesDrawn{0};
  std::atomic<uint64_t> movieFramesDrawn{0};
  std::atomic<uint32_t> layeredUpdates{0};
  // How the shadow-movie thread draws the movie: through the effect made by D3DX or by the device
  // from the effect's own shaders, or opaque (neither could be made).
  enum class MovieDrawing { NotYet, D3dxEffect, DeviceShaderEffect, Opaque };
  std::atomic<MovieDrawing> movieDrawing{MovieDrawing::NotYet};
  // The playback thread has stopped drawing and decoding while the displays are off.
  std::atomic<bool> drawingPaused{false};
  // The thread of the packed frames' producer (0 before the first).
  std::atomic<uint32_t> producerThreadId{0};
};
