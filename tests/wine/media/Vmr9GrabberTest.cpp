#include <d3d9.h>
#include <dshow.h>
#include <gtest/gtest.h>
#include <vmr9.h>
#include <wrl/client.h>

#include <cstdint>
#include <limits>
#include <memory>

#include "MediaTestSupport.h"
#include "media/DShowVmr.h"
#include "media/DShowVmr9Grabber.h"
#include "media/PosterFrame.h"
#include "render/QuadTexture.h"

using Microsoft::WRL::ComPtr;

namespace {

constexpr int64_t kFreshTime = std::numeric_limits<int64_t>::min();

VMR9AllocationInfo AllocationFor(DWORD width, DWORD height) {
  VMR9AllocationInfo info{};
  info.dwFlags = VMR9AllocFlag_OffscreenSurface;
  info.dwWidth = width;
  info.dwHeight = height;
  info.Format = D3DFMT_X8R8G8B8;
  info.Pool = D3DPOOL_DEFAULT;
  info.MinBuffers = 3;
  info.szAspectRatio = {static_cast<LONG>(width), static_cast<LONG>(height)};
  info.szNativeSize = info.szAspectRatio;
  return info;
}

bool SameColour(const Colour& a, D3DCOLOR b) {
  return a.r == static_cast<int>((b >> 16) & 0xFF) && a.g == static_cast<int>((b >> 8) & 0xFF) &&
         a.b == static_cast<int>(b & 0xFF);
}

// The grabber of a real VMR-9 on the real device, driven the way the renderer drives it.
class Vmr9Grabber : public MediaTest {
 protected:
  void SetUp() override {
    vmr = CreateVmr9Renderer(Device());
    ASSERT_TRUE(vmr) << "renderless VMR-9 with the grabber advised";
  }
  DShowVmr9Grabber& grabber() { return vmr->grabber(); }

  // Allocates the buffers for a video of that size; the info is updated as the grabber rounds it.
  HRESULT Initialize(VMR9AllocationInfo& info, DWORD buffers = 3) {
    DWORD count = buffers;
    const HRESULT hr = grabber().InitializeDevice(kVmrUserId, &info, &count);
    bufferCount = count;
    return hr;
  }
  ComPtr<IDirect3DSurface9> Surface(DWORD index) {
    ComPtr<IDirect3DSurface9> surface;
    EXPECT_EQ(grabber().GetSurface(kVmrUserId, index, 0, surface.GetAddressOf()), S_OK);
    return surface;
  }
  // Presents buffer 0 filled with one colour.
  HRESULT Present(D3DCOLOR colour, DWORD flags = 0, REFERENCE_TIME start = 0) {
    const ComPtr<IDirect3DSurface9> surface = Surface(0);
    if (!surface) return E_FAIL;
    EXPECT_EQ(Device()->ColorFill(surface.Get(), nullptr, colour), S_OK);
    VMR9PresentationInfo info{};
    info.dwFlags = flags;
    info.lpSurf = surface.Get();
    info.rtStart = start;
    info.rtEnd = start + 333333;
    return grabber().PresentImage(kVmrUserId, &info);
  }

  // Buffers for a 320x240 video, one frame of that colour presented and copied into frame.
  void FirstFrame(D3DCOLOR colour, PosterFrame& frame) {
    VMR9AllocationInfo info = AllocationFor(320, 240);
    ASSERT_EQ(Initialize(info), S_OK);
    ASSERT_EQ(Present(colour), S_OK);
    ASSERT_TRUE(grabber().CopyFrame(frame));
  }

  std::unique_ptr<DShowVmr9> vmr;
  DWORD bufferCount = 0;
};

TEST_F(Vmr9Grabber, SurfacesAreRoundedUpToPowersOfTwoAndThePosterKeepsTheVideosOwnSize) {
  VMR9AllocationInfo info = AllocationFor(640, 480);
  ASSERT_EQ(Initialize(info), S_OK);
  EXPECT_EQ(info.dwWidth, 1024u);
  EXPECT_EQ(info.dwHeight, 512u);
  ASSERT_GE(bufferCount, 1u);
  for (DWORD i = 0; i < bufferCount; ++i) {
    D3DSURFACE_DESC desc{};
    ASSERT_EQ(Surface(i)->GetDesc(&desc), S_OK);
    EXPECT_EQ(desc.Width, 1024u);
    EXPECT_EQ(desc.Height, 512u);
  }
  ComPtr<IDirect3DSurface9> none;
  EXPECT_EQ(grabber().GetSurface(kVmrUserId, bufferCount, 0, none.GetAddressOf()), E_INVALIDARG);
  EXPECT_EQ(grabber().GetSurface(kVmrUserId, 0, 0, nullptr), E_POINTER);

  ASSERT_EQ(Present(D3DCOLOR_XRGB(10, 20, 30)), S_OK);
  PosterFrame frame;
  ASSERT_TRUE(grabber().CopyFrame(frame));
  ASSERT_TRUE(frame.texture);
  EXPECT_EQ(frame.texture->LevelDescription().Width, 1024u);
  EXPECT_EQ(frame.texture->LevelDescription().Height, 512u);
  EXPECT_EQ(frame.texture->LevelDescription().Usage, static_cast<DWORD>(D3DUSAGE_RENDERTARGET));
  EXPECT_EQ(frame.texture->contentWidth(), 640u);
  EXPECT_EQ(frame.texture->contentHeight(), 480u);
  EXPECT_TRUE(SameColour(TexelOf(Device(), *frame.texture, 639, 479), D3DCOLOR_XRGB(10, 20, 30)));
}

TEST_F(Vmr9Grabber, MissingOrEmptyRequestsAreRefused) {
  VMR9AllocationInfo info = AllocationFor(320, 240);
  DWORD count = 2;
  EXPECT_EQ(grabber().InitializeDevice(kVmrUserId, nullptr, &count), E_POINTER);
  EXPECT_EQ(grabber().InitializeDevice(kVmrUserId, &info, nullptr), E_POINTER);
  count = 0;
  EXPECT_EQ(grabber().InitializeDevice(kVmrUserId, &info, &count), E_INVALIDARG);
  EXPECT_EQ(grabber().PresentImage(kVmrUserId, nullptr), E_POINTER);
  VMR9PresentationInfo noSurface{};
  EXPECT_EQ(grabber().PresentImage(kVmrUserId, &noSurface), E_POINTER);
  PosterFrame frame;
  EXPECT_FALSE(grabber().CopyFrame(frame)) << "no frame before the first presentation";
}

TEST_F(Vmr9Grabber, FramesCarryTheirSampleTimeOrCountUpWithoutOneAndSetTheFrameEvent) {
  VMR9AllocationInfo info = AllocationFor(320, 240);
  ASSERT_EQ(Initialize(info), S_OK);
  grabber().SetFrameEvent(frameEvent.get());
  PosterFrame frame;

  ASSERT_EQ(Present(D3DCOLOR_XRGB(1, 1, 1)), S_OK);
  EXPECT_TRUE(WaitFor(frameEvent.get(), 0));
  ASSERT_TRUE(grabber().CopyFrame(frame));
  EXPECT_EQ(frame.time, kFreshTime + 1) << "the first frame without a time after a fresh poster";
  EXPECT_EQ(frame.owner, &grabber());

  ASSERT_EQ(Present(D3DCOLOR_XRGB(2, 2, 2)), S_OK);
  ASSERT_TRUE(grabber().CopyFrame(frame));
  EXPECT_EQ(frame.time, kFreshTime + 2);

  ASSERT_EQ(Present(D3DCOLOR_XRGB(3, 3, 3), VMR9Sample_TimeValid, 4000000), S_OK);
  EXPECT_TRUE(WaitFor(frameEvent.get(), 0));
  ASSERT_TRUE(grabber().CopyFrame(frame));
  EXPECT_EQ(frame.time, 4000000);

  grabber().SetFrameEvent(nullptr);
  ASSERT_EQ(Present(D3DCOLOR_XRGB(4, 4, 4)), S_OK);
  EXPECT_FALSE(WaitFor(frameEvent.get(), 0)) << "an event handed back is not set again";
}

TEST_F(Vmr9Grabber, ASecondCopyOfTheSameFrameCopiesNoPicture) {
  PosterFrame frame;
  ASSERT_NO_FATAL_FAILURE(FirstFrame(D3DCOLOR_XRGB(200, 0, 0), frame));
  ASSERT_TRUE(SameColour(TexelOf(Device(), *frame.texture, 5, 5), D3DCOLOR_XRGB(200, 0, 0)));

  // Paint the render thread's copy: a copy of the same frame would paint it back.
  ComPtr<IDirect3DSurface9> copy;
  ASSERT_EQ(frame.texture->GetLevelSurface(copy.GetAddressOf()), S_OK);
  ASSERT_EQ(Device()->ColorFill(copy.Get(), nullptr, D3DCOLOR_XRGB(0, 0, 200)), S_OK);
  EXPECT_TRUE(grabber().CopyFrame(frame)) << "true all the same";
  EXPECT_TRUE(SameColour(TexelOf(Device(), *frame.texture, 5, 5), D3DCOLOR_XRGB(0, 0, 200)));

  ASSERT_EQ(Present(D3DCOLOR_XRGB(0, 200, 0)), S_OK);
  QuadTexture* before = frame.texture.get();
  EXPECT_TRUE(grabber().CopyFrame(frame));
  EXPECT_EQ(frame.texture.get(), before) << "the same texture, filled anew";
  EXPECT_TRUE(SameColour(TexelOf(Device(), *frame.texture, 5, 5), D3DCOLOR_XRGB(0, 200, 0)));
}

TEST_F(Vmr9Grabber, AfterReleasingTheSurfacesNoFrameIsCopiedUntilTheRendererPresentsAgain) {
  PosterFrame frame;
  ASSERT_NO_FATAL_FAILURE(FirstFrame(D3DCOLOR_XRGB(9, 9, 9), frame));

  EXPECT_TRUE(grabber().ReleaseSurfaces());
  PosterFrame after;
  EXPECT_FALSE(grabber().CopyFrame(after));
  ComPtr<IDirect3DSurface9> released;
  EXPECT_EQ(grabber().GetSurface(kVmrUserId, 0, 0, released.GetAddressOf()), E_FAIL) << "the entry is empty";
  EXPECT_EQ(grabber().GetSurface(kVmrUserId, bufferCount, 0, released.GetAddressOf()), E_INVALIDARG)
      << "the list kept its length";

  VMR9AllocationInfo again = AllocationFor(320, 240);
  ASSERT_EQ(Initialize(again), S_OK);
  PosterFrame beforeFirst;
  ASSERT_EQ(Present(D3DCOLOR_XRGB(7, 7, 7)), S_OK);
  EXPECT_TRUE(grabber().CopyFrame(beforeFirst));

  EXPECT_EQ(grabber().TerminateDevice(kVmrUserId), S_OK);
  EXPECT_FALSE(grabber().CopyFrame(after));
  EXPECT_EQ(grabber().GetSurface(kVmrUserId, 0, 0, released.GetAddressOf()), E_INVALIDARG) << "no buffers at all";
}

TEST_F(Vmr9Grabber, IsACountedComObjectWithTheAllocatorFirstAndThePresenterSecond) {
  DShowVmr9Grabber* grabber = new DShowVmr9Grabber(Device());
  IDirect3DDevice9* device = Device();
  device->AddRef();
  const ULONG deviceReferences = device->Release();

  EXPECT_EQ(grabber->AddRef(), 1u);
  void* unknown = nullptr;
  void* allocator = nullptr;
  void* presenter = nullptr;
  void* other = reinterpret_cast<void*>(1);
  ASSERT_EQ(grabber->QueryInterface(IID_IUnknown, &unknown), S_OK);
  ASSERT_EQ(grabber->QueryInterface(IID_IVMRSurfaceAllocator9, &allocator), S_OK);
  ASSERT_EQ(grabber->QueryInterface(IID_IVMRImagePresenter9, &presenter), S_OK);
  EXPECT_EQ(grabber->QueryInterface(IID_IBaseFilter, &other), E_NOINTERFACE);
  EXPECT_EQ(other, nullptr);
  EXPECT_EQ(grabber->QueryInterface(IID_IUnknown, nullptr), E_POINTER);
  EXPECT_EQ(unknown, allocator) << "IUnknown is the primary pointer";
  EXPECT_EQ(allocator, static_cast<IVMRSurfaceAllocator9*>(grabber));
  EXPECT_EQ(presenter, static_cast<IVMRImagePresenter9*>(grabber));
  EXPECT_NE(presenter, allocator);

  EXPECT_EQ(static_cast<IUnknown*>(presenter)->Release(), 3u);
  EXPECT_EQ(static_cast<IUnknown*>(allocator)->Release(), 2u);
  EXPECT_EQ(static_cast<IUnknown*>(unknown)->Release(), 1u);
  EXPECT_EQ(grabber->Release(), 0u);  // deleted: its reference to the device goes with it
  device->AddRef();
  EXPECT_EQ(device->Release(), deviceReferences - 1);
}

TEST_F(Vmr9Grabber, PosterFramesAreEqualForOneOwnerTimeAndTextureDescription) {
  PosterFrame a, b;
  EXPECT_FALSE(a == b) << "neither has a picture";
  a.texture = QuadTexture::CreateBlank(Device(), 320, 240, D3DUSAGE_RENDERTARGET, D3DFMT_X8R8G8B8);
  b.texture = QuadTexture::CreateBlank(Device(), 300, 200, D3DUSAGE_RENDERTARGET, D3DFMT_X8R8G8B8);
  a.owner = b.owner = this;
  a.time = b.time = 42;
  EXPECT_TRUE(a == b) << "320x240 and 300x200 both live in 512x256 textures";
  b.time = 43;
  EXPECT_FALSE(a == b);
  b.time = 42;
  b.owner = nullptr;
  EXPECT_FALSE(a == b);
  b.owner = this;
  b.texture = QuadTexture::CreateBlank(Device(), 640, 240, D3DUSAGE_RENDERTARGET, D3DFMT_X8R8G8B8);
  EXPECT_FALSE(a == b) << "another size";
  b.texture = QuadTexture::CreateBlank(Device(), 320, 240, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8);
  EXPECT_FALSE(a == b) << "another format";
}

// The renderer allocates again when the video changes its size or pixels mid-stream: the next
// frame reaches the render thread's frame in the new size and format (here 16-bit 5-6-5).
TEST_F(Vmr9Grabber, AVideoThatChangesSizeAndPixelsMidStreamReachesTheRenderThreadAsItIsNow) {
  PosterFrame frame;
  ASSERT_NO_FATAL_FAILURE(FirstFrame(D3DCOLOR_XRGB(200, 0, 0), frame));
  VMR9AllocationInfo smaller = AllocationFor(157, 93);
  smaller.Format = D3DFMT_R5G6B5;
  ASSERT_EQ(Initialize(smaller), S_OK);
  ASSERT_EQ(Present(D3DCOLOR_XRGB(0, 255, 0)), S_OK);
  ASSERT_TRUE(grabber().CopyFrame(frame));
  EXPECT_EQ(frame.texture->contentWidth(), 157u);
  EXPECT_EQ(frame.texture->contentHeight(), 93u);
  EXPECT_EQ(frame.texture->LevelDescription().Format, D3DFMT_R5G6B5);
  EXPECT_TRUE(SameColour(TexelOf(Device(), *frame.texture, 156, 92), D3DCOLOR_XRGB(0, 255, 0)));
}

TEST_F(Vmr9Grabber, TextureCopiesTakeOverTheSourcesDescriptionSizeAndPicture) {
  auto source = QuadTexture::CreateBlank(Device(), 300, 200, D3DUSAGE_RENDERTARGET, D3DFMT_X8R8G8B8);
  ASSERT_TRUE(source);
  ComPtr<IDirect3DSurface9> level;
  ASSERT_EQ(source->GetLevelSurface(level.GetAddressOf()), S_OK);
  ASSERT_EQ(Device()->ColorFill(level.Get(), nullptr, D3DCOLOR_XRGB(40, 80, 120)), S_OK);

  const std::unique_ptr<QuadTexture> clone = QuadTexture::CloneTexture(*source);
  ASSERT_TRUE(clone);
  EXPECT_TRUE(clone->SameDescription(*source));
  EXPECT_EQ(clone->contentWidth(), 300u);
  EXPECT_EQ(clone->contentHeight(), 200u);
  EXPECT_EQ(clone->flipped(), source->flipped());
  EXPECT_NE(clone->Texture(), source->Texture());
  EXPECT_TRUE(SameColour(TexelOf(Device(), *clone, 299, 199), D3DCOLOR_XRGB(40, 80, 120)));

  // Into a texture of another size: made anew like the source's.
  auto other = QuadTexture::CreateBlank(Device(), 64, 64, D3DUSAGE_RENDERTARGET, D3DFMT_X8R8G8B8);
  ASSERT_EQ(other->CopyTexture(*source), S_OK);
  EXPECT_TRUE(other->SameDescription(*source));
  EXPECT_EQ(other->contentWidth(), 300u);
  EXPECT_TRUE(SameColour(TexelOf(Device(), *other, 150, 100), D3DCOLOR_XRGB(40, 80, 120)));

  // Into one like it: the texture stays, only the picture is copied.
  IDirect3DTexture9* kept = clone->Texture();
  ASSERT_EQ(Device()->ColorFill(level.Get(), nullptr, D3DCOLOR_XRGB(1, 2, 3)), S_OK);
  ASSERT_EQ(clone->CopyTexture(*source), S_OK);
  EXPECT_EQ(clone->Texture(), kept);
  EXPECT_TRUE(SameColour(TexelOf(Device(), *clone, 0, 0), D3DCOLOR_XRGB(1, 2, 3)));
}

}  // namespace
