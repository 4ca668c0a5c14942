#pragma once
// What the media tests share: COM and the timer resolution as the engine holds them, a real window
// and playback device for graphs with video, the render thread's events, and read-backs of what a
// graph did (its volume, its filters, a texture's picture).
#include <d3d9.h>
#include <ddraw.h>
#include <dshow.h>
#include <wrl/client.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "base/ThreadToolkit.h"
#include "base/UmbraneAppBase.h"
#include "base/UniqueHandle.h"
#include "media/DShowFilterGraph.h"
#include "media/GraphUtilities.h"
#include "tests/wine/render/RenderTestSupport.h"

class QuadTexture;

class MediaTest : public ::testing::Test {
 protected:
  MediaTest();
  // The playback device, made on first use on a window of its own.
  IDirect3DDevice9* Device();
  // A DirectDraw 7 object at the normal cooperative level, as the engine makes for VMR-7; made on
  // first use.
  IDirectDraw7* DirectDraw();
  // Resets it as the engine does after a loss; fails while anything holds a default-pool resource.
  HRESULT ResetDevice();

  // The graph's volume as IBasicAudio reads it back (hundredths of a decibel); 1 when unreadable.
  static long VolumeOf(IFilterGraph* graph);
  // Names of the graph's filters, in enumeration order, joined with ", ".
  static std::wstring FilterNames(IFilterGraph* graph);

  // True when the event is set within the time; false after it.
  static bool WaitFor(HANDLE event, DWORD timeoutMs);

  UmbraneAppBase process;
  UniqueHandle frameEvent{CreateEventOrDie(false, false)};
  UniqueHandle completionEvent{CreateEventOrDie(false, false)};

 private:
  std::unique_ptr<TestWindow> window_;
  TestDevice device_;
  Microsoft::WRL::ComPtr<IDirectDraw7> directDraw_;
};

// The colour of one texel of a render-target texture's level 0 (top-left origin), read back
// through system memory (textures of other formats than 32-bit RGB through an X8R8G8B8 copy).
Colour TexelOf(IDirect3DDevice9* device, const QuadTexture& texture, int x, int y);
