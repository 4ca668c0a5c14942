#pragma once
// The playback device: how the engine makes it at start-up and after a reset, and how the tests
// make the very same device on a window of their own.
#include <d3d9.h>
#include <wrl/client.h>

constexpr UINT kDirect3DSdkVersion = 32;
// Software vertex processing, multithreaded (the frame producer and the video grabbers update
// textures from their own threads) and FPU preserving.
constexpr DWORD kPlaybackBehaviourFlags =
    D3DCREATE_SOFTWARE_VERTEXPROCESSING | D3DCREATE_MULTITHREADED | D3DCREATE_FPU_PRESERVE;
static_assert(kPlaybackBehaviourFlags == 0x26, "behaviour flags of the playback device");

// Null when the Direct3D 9 object cannot be made.
Microsoft::WRL::ComPtr<IDirect3D9> CreateDirect3D();

// Windowed, discard, one back buffer of the window's client size in the current display format
// of adapter 0, no depth buffer, default presentation interval. False when the display mode
// cannot be read.
bool FillPresentParameters(IDirect3D9* d3d, HWND window, D3DPRESENT_PARAMETERS& out);

// Adapter 0, hardware device, no focus window, kPlaybackBehaviourFlags.
HRESULT CreatePlaybackDevice(IDirect3D9* d3d, D3DPRESENT_PARAMETERS& params, IDirect3DDevice9** device);

// Fetches render target 0 (the back buffer) into renderTarget; false when that fails. The target
// is then cleared to colour 0; a failed clear is fatal.
bool AcquireRenderTarget(IDirect3DDevice9* device, Microsoft::WRL::ComPtr<IDirect3DSurface9>& renderTarget);
