#pragma once
// The playback thread's three bodies, one per presentation mode (the engine's StartPlayback picks
// one), and what the engine hands them: only the pieces a body reads or writes, never the engine.
//   ShadowMovieLoop.cpp: ShadowMovieLoop, a video file's frames as the silhouette.
//   PackedFrameLoops.cpp: PlaybackLoop (the Direct3D window) and LayeredLoop (the layered
//     window), the packed frames of the frame file.
#include <windows.h>
#include <d3d9.h>
#include <wrl/client.h>

#include <cstdint>

#include "engine/PlaybackStatistics.h"
#include "render/MonitorRecord.h"
#include "render/ShadowScene.h"

class DShowFilterGraph;
class ImageUnpacker;
class LightWeightMutex;

// What every body gets. Everything it refers to outlives the thread.
struct PlaybackContext {
  // The thread reaches the window only by posting EndMessage and DeviceLostMessage to it.
  HWND window;
  // The thread's stop event; the displays' power state (exactly one of the two is set).
  HANDLE stopEvent;
  HANDLE displayOffEvent;
  HANDLE displayOnEvent;
  IDirect3DDevice9* device;
  IDirect3DSurface9* backBuffer;  // the device's render target 0
  const DisplayLayout& layout;
  RenderSettings renderSettings;
  // The background graph always exists (empty without background media); the shadow graph only in
  // the shadow-movie mode.
  DShowFilterGraph& backgroundGraph;
  DShowFilterGraph* shadowGraph;
  bool bgmEnabled;
  PlaybackStatistics& statistics;
};

// What the packed-frame bodies add: the frame file, the silhouette's opacity in percent, and the
// frame to start at, where a body also leaves the frame to resume at after a lost device.
struct PackedFrames {
  ImageUnpacker& file;
  uint8_t silhouetteOpacity;
  int64_t& resumePosition;
};

// The layered window's side of the hand-over: the window thread shows the frame surface on the
// layered presenter's ticks. The surface and the size are made by LayeredPresenter::Start after
// the body was handed over and before the thread runs.
struct LayeredHandOver {
  LightWeightMutex& frameLock;  // held while the surface is written or shown
  HANDLE frameReadyEvent;       // set when a new frame is in the surface
  const Microsoft::WRL::ComPtr<IDirect3DSurface9>& frameSurface;
  const SIZE& size;
};

void PlaybackLoop(const PlaybackContext& context, const PackedFrames& frames);
void LayeredLoop(const PlaybackContext& context, const PackedFrames& frames, const LayeredHandOver& window);
void ShadowMovieLoop(const PlaybackContext& context);
