#pragma once
// What the media benchmarks measure while the engine plays a video: the frames the graph's
// grabber delivered against those the playback thread drew, the thread's processor time and the
// process's allocations.
#include <windows.h>

#include <atomic>
#include <cstdint>

class UmbraneEngine;
class DShowFilterGraph;

struct PlayedFigures {
  double elapsed = 0;      // seconds
  double threadCpu = 0;    // seconds of the playback thread
  uint64_t delivered = 0;  // frames the grabber presented
  uint64_t drawn = 0;      // of those, drawn by the playback thread
  uint64_t presented = 0;  // frames presented in all
  long allocations = 0;    // operator new in the whole process
};

// Pumps the engine's window for that long while the graph plays; `drawn` counts the frames of
// that graph the playback thread drew.
PlayedFigures MeasurePlayback(UmbraneEngine& engine, DShowFilterGraph& graph, const std::atomic<uint64_t>& drawn,
                              double seconds);
// Prints the figures, the video's frames named `what`.
void PrintPlayedFigures(const PlayedFigures& figures, const char* what);
