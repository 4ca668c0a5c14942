#include "MediaTestSupport.h"

#include <wrl/client.h>

#include "render/QuadTexture.h"

using Microsoft::WRL::ComPtr;

MediaTest::MediaTest() = default;

IDirect3DDevice9* MediaTest::Device() {
  if (!window_) {
    window_ = std::make_unique<TestWindow>(0, 0, 320, 240);
    if (!device_.Create(window_->Handle())) ADD_FAILURE() << "no playback device";
  }
  return device_.device.Get();
}

IDirectDraw7* MediaTest::DirectDraw() {
  if (!directDraw_) {
    if (FAILED(DirectDrawCreateEx(nullptr, reinterpret_cast<void**>(directDraw_.GetAddressOf()), IID_IDirectDraw7,
                                  nullptr)) ||
        FAILED(directDraw_->SetCooperativeLevel(nullptr, DDSCL_NORMAL))) {
      ADD_FAILURE() << "no DirectDraw 7 object";
    }
  }
  return directDraw_.Get();
}

HRESULT MediaTest::ResetDevice() {
  Device();
  device_.backBuffer.Reset();
  const HRESULT hr = device_.device->Reset(&device_.params);
  device_.device->GetRenderTarget(0, device_.backBuffer.GetAddressOf());
  return hr;
}

long MediaTest::VolumeOf(IFilterGraph* graph) {
  ComPtr<IBasicAudio> audio;
  long volume = 1;
  if (SUCCEEDED(graph->QueryInterface(IID_IBasicAudio, reinterpret_cast<void**>(audio.GetAddressOf())))) {
    audio->get_Volume(&volume);
  }
  return volume;
}

std::wstring MediaTest::FilterNames(IFilterGraph* graph) {
  std::wstring names;
  for (const auto& filter : GetFilters(graph)) {
    if (!names.empty()) names += L", ";
    names += GetFilterName(filter.Get());
  }
  return names;
}

bool MediaTest::WaitFor(HANDLE event, DWORD timeoutMs) {
  return WaitForSingleObject(event, timeoutMs) == WAIT_OBJECT_0;
}

Colour TexelOf(IDirect3DDevice9* device, const QuadTexture& texture, int x, int y) {
  ComPtr<IDirect3DSurface9> level;
  if (FAILED(texture.GetLevelSurface(level.GetAddressOf()))) return Colour{-1, -1, -1, -1};
  const D3DSURFACE_DESC& desc = texture.LevelDescription();
  if (desc.Format != D3DFMT_X8R8G8B8 && desc.Format != D3DFMT_A8R8G8B8) {
    ComPtr<IDirect3DSurface9> converted;
    if (FAILED(device->CreateRenderTarget(desc.Width, desc.Height, D3DFMT_X8R8G8B8, D3DMULTISAMPLE_NONE, 0, FALSE,
                                          converted.GetAddressOf(), nullptr)) ||
        FAILED(device->StretchRect(level.Get(), nullptr, converted.Get(), nullptr, D3DTEXF_NONE))) {
      return Colour{-1, -1, -1, -1};
    }
    level = converted;
  }
  ReadBack read(device, level.Get());
  if (!read.Ok()) return Colour{-1, -1, -1, -1};
  return read.At(x, y);
}
