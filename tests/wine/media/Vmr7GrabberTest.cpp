#include <d3d9.h>
#include <ddraw.h>
#include <dshow.h>
#include <gtest/gtest.h>
#include <wrl/client.h>

#include <atomic>
#include <cstdint>
#include <cstring>
#include <limits>

#include "MediaTestSupport.h"
#include "base/ComReference.h"
#include "media/DShowVmr.h"
#include "media/DShowVmr7Grabber.h"
#include "media/PosterFrame.h"
#include "base/LockedDirectDrawSurface.h"
#include "render/QuadTexture.h"

using Microsoft::WRL::ComPtr;

namespace {

constexpr int64_t kFreshTime = std::numeric_limits<int64_t>::min();

DDPIXELFORMAT Rgb(DWORD bits, DWORD r, DWORD g, DWORD b) {
  DDPIXELFORMAT format{};
  format.dwSize = sizeof format;
  format.dwFlags = DDPF_RGB;
  format.dwRGBBitCount = bits;
  format.dwRBitMask = r;
  format.dwGBitMask = g;
  format.dwBBitMask = b;
  return format;
}
const DDPIXELFORMAT kRgb32 = Rgb(32, 0xFF0000, 0x00FF00, 0x0000FF);
const DDPIXELFORMAT kRgb565 = Rgb(16, 0xF800, 0x07E0, 0x001F);
DDPIXELFORMAT Palette8() {
  DDPIXELFORMAT format = Rgb(8, 0, 0, 0);
  format.dwFlags |= DDPF_PALETTEINDEXED8;
  return format;
}

// A real system-memory DirectDraw surface of that size and layout.
ComPtr<IDirectDrawSurface7> MakeSurface(IDirectDraw7* ddraw, DWORD width, DWORD height, const DDPIXELFORMAT& format) {
  DDSURFACEDESC2 desc{};
  desc.dwSize = sizeof desc;
  desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
  desc.dwWidth = width;
  desc.dwHeight = height;
  desc.ddpfPixelFormat = format;
  desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
  ComPtr<IDirectDrawSurface7> surface;
  EXPECT_EQ(ddraw->CreateSurface(&desc, surface.GetAddressOf(), nullptr), DD_OK);
  return surface;
}

// Every pixel `fill`, the last row's first pixel `corner` (a picture whose rows all arrived).
void Paint(IDirectDrawSurface7* surface, uint32_t fill, uint32_t corner) {
  LockedDirectDrawSurface bits(surface, DDLOCK_WAIT);
  ASSERT_EQ(bits.result(), DD_OK);
  const DDSURFACEDESC2& desc = bits.Description();
  const DWORD bytes = desc.ddpfPixelFormat.dwRGBBitCount / 8;
  for (DWORD y = 0; y < desc.dwHeight; ++y) {
    for (DWORD x = 0; x < desc.dwWidth; ++x) {
      const uint32_t value = (y == desc.dwHeight - 1 && x == 0) ? corner : fill;
      std::memcpy(bits.Bits() + y * bits.pitch() + x * bytes, &value, bytes);
    }
  }
}

bool IsColour(const Colour& c, int r, int g, int b) { return c.r == r && c.g == g && c.b == b; }

// Stands in for the system's default VMR-7 allocator-presenter (which Wine does not have): it
// allocates real DirectDraw surfaces and counts what reaches it.
class StandInAllocatorPresenter : public GrabberComObject<IVMRSurfaceAllocator, IID_IVMRSurfaceAllocator,
                                                          IVMRImagePresenter, IID_IVMRImagePresenter> {
 public:
  explicit StandInAllocatorPresenter(IDirectDraw7* ddraw) : ddraw_(ddraw) {}

  HRESULT STDMETHODCALLTYPE AllocateSurface(DWORD_PTR, VMRALLOCATIONINFO* info, DWORD* buffers,
                                            LPDIRECTDRAWSURFACE7* surface) override {
    ++allocations;
    if (!info || !info->lpHdr || !buffers || !surface) return E_POINTER;
    *surface = MakeSurface(ddraw_.Get(), info->lpHdr->biWidth, info->lpHdr->biHeight, kRgb32).Detach();
    *buffers = 1;
    return *surface ? S_OK : E_FAIL;
  }
  HRESULT STDMETHODCALLTYPE FreeSurface(DWORD_PTR) override { return ++frees, S_OK; }
  HRESULT STDMETHODCALLTYPE PrepareSurface(DWORD_PTR, LPDIRECTDRAWSURFACE7, DWORD) override { return ++prepares, S_OK; }
  HRESULT STDMETHODCALLTYPE AdviseNotify(IVMRSurfaceAllocatorNotify*) override { return ++advises, S_OK; }
  HRESULT STDMETHODCALLTYPE StartPresenting(DWORD_PTR) override { return ++starts, S_OK; }
  HRESULT STDMETHODCALLTYPE StopPresenting(DWORD_PTR) override { return ++stops, S_OK; }
  HRESULT STDMETHODCALLTYPE PresentImage(DWORD_PTR, VMRPRESENTATIONINFO*) override { return ++presents, S_OK; }

  // The references held (one more is taken and given back to read it).
  ULONG References() {
    AddRef();
    return Release();
  }

  std::atomic<int> allocations{0}, frees{0}, prepares{0}, advises{0}, starts{0}, stops{0}, presents{0};

 private:
  ComPtr<IDirectDraw7> ddraw_;
};

// The grabber driven the way the VMR-7 drives it, on real DirectDraw surfaces and the real device.
class Vmr7Grabber : public MediaTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(Device());
    ASSERT_TRUE(DirectDraw());
    standIn = new StandInAllocatorPresenter(DirectDraw());
    allocator = new DShowVmr7Grabber(DirectDraw(), Device(), standIn.Get());
    grabber().SetFrameEvent(frameEvent.get());
  }
  DShowVmr7Grabber& grabber() { return *static_cast<DShowVmr7Grabber*>(allocator.Get()); }

  HRESULT Present(IDirectDrawSurface7* surface, DWORD flags = 0, REFERENCE_TIME start = 0) {
    VMRPRESENTATIONINFO info{};
    info.dwFlags = flags;
    info.lpSurf = surface;
    info.rtStart = start;
    info.rtEnd = start + 333333;
    return grabber().PresentImage(kVmrUserId, &info);
  }
  // Presents the surface and expects it announced.
  void ExpectPresented(IDirectDrawSurface7* surface) {
    ASSERT_EQ(Present(surface), S_OK);
    EXPECT_TRUE(WaitFor(frameEvent.get(), 0)) << "the frame event is set before PresentImage returns";
  }

  ComPtr<StandInAllocatorPresenter> standIn;
  ComPtr<IVMRSurfaceAllocator> allocator;
};

TEST_F(Vmr7Grabber, AllocationIsLeftToTheDefaultAllocatorPresenterButPresentingIsNot) {
  BITMAPINFOHEADER header{sizeof(BITMAPINFOHEADER), 320, 240, 1, 32};
  VMRALLOCATIONINFO info{};
  info.lpHdr = &header;
  DWORD buffers = 2;
  ComPtr<IDirectDrawSurface7> surface;
  // Flags the renderer does not define are refused before the default allocator hears of them.
  for (DWORD flags : {0x40ul, 0x80ul, 0x80000000ul, 0x7Ful}) {
    info.dwFlags = flags;
    EXPECT_EQ(grabber().AllocateSurface(kVmrUserId, &info, &buffers, surface.ReleaseAndGetAddressOf()), E_INVALIDARG);
  }
  EXPECT_EQ(standIn->allocations, 0);
  info.dwFlags = AMAP_PIXELFORMAT_VALID | AMAP_3D_TARGET | AMAP_ALLOW_SYSMEM | AMAP_FORCE_SYSMEM | AMAP_DIRECTED_FLIP |
                 AMAP_DXVA_TARGET;
  EXPECT_EQ(grabber().AllocateSurface(kVmrUserId, &info, &buffers, surface.ReleaseAndGetAddressOf()), S_OK);
  EXPECT_EQ(standIn->allocations, 1);
  ASSERT_TRUE(surface) << "the default allocator's surface reaches the renderer";

  EXPECT_EQ(grabber().PrepareSurface(kVmrUserId, surface.Get(), 0), S_OK);
  EXPECT_EQ(grabber().AdviseNotify(nullptr), S_OK);
  EXPECT_EQ(grabber().StartPresenting(kVmrUserId), S_OK);
  ExpectPresented(surface.Get());
  EXPECT_EQ(grabber().StopPresenting(kVmrUserId), S_OK);
  EXPECT_EQ(grabber().FreeSurface(kVmrUserId), S_OK);
  EXPECT_EQ(standIn->prepares + standIn->advises + standIn->starts + standIn->stops + standIn->frees, 5);
  EXPECT_EQ(standIn->presents, 0) << "nothing reaches the screen from the default presenter";
}

TEST_F(Vmr7Grabber, AThirtyTwoBitFrameIsCopiedWholeIntoAPowerOfTwoTextureWithTheVideosOwnSize) {
  const ComPtr<IDirectDrawSurface7> surface = MakeSurface(DirectDraw(), 320, 240, kRgb32);
  ASSERT_TRUE(surface);
  Paint(surface.Get(), 0x00102030, 0x00C0A080);
  ExpectPresented(surface.Get());
  PosterFrame frame;
  ASSERT_TRUE(grabber().CopyFrame(frame));
  ASSERT_TRUE(frame.texture);
  EXPECT_EQ(frame.owner, &grabber());
  EXPECT_EQ(frame.time, kFreshTime + 1) << "without the time-valid flag the time counts frames";
  const D3DSURFACE_DESC& level = frame.texture->LevelDescription();
  EXPECT_EQ(level.Width, 512u);
  EXPECT_EQ(level.Height, 256u);
  EXPECT_EQ(level.Format, D3DFMT_X8R8G8B8);
  EXPECT_EQ(frame.texture->contentWidth(), 320u);
  EXPECT_EQ(frame.texture->contentHeight(), 240u);
  EXPECT_TRUE(IsColour(TexelOf(Device(), *frame.texture, 319, 0), 0x10, 0x20, 0x30)) << "the whole first row";
  EXPECT_TRUE(IsColour(TexelOf(Device(), *frame.texture, 0, 239), 0xC0, 0xA0, 0x80)) << "the 240th row";

  Paint(surface.Get(), 0x00405060, 0x00405060);
  ASSERT_EQ(Present(surface.Get(), VMRSample_TimeValid, 4444444), S_OK);
  ASSERT_TRUE(grabber().CopyFrame(frame));
  EXPECT_EQ(frame.time, 4444444) << "with the flag the sample's start";
  EXPECT_TRUE(IsColour(TexelOf(Device(), *frame.texture, 100, 100), 0x40, 0x50, 0x60));
}

TEST_F(Vmr7Grabber, TheTextureIsMadeAnewOnlyWhenTheSurfacesFormatOrSizeChanges) {
  auto texture = QuadTexture::CreateBlank(Device(), 320, 240, D3DUSAGE_RENDERTARGET, D3DFMT_X8R8G8B8);
  ASSERT_TRUE(texture);
  const ComPtr<IDirectDrawSurface7> rgb32 = MakeSurface(DirectDraw(), 320, 240, kRgb32);
  const ComPtr<IDirectDrawSurface7> rgb565 = MakeSurface(DirectDraw(), 320, 240, kRgb565);
  ASSERT_TRUE(rgb32 && rgb565);
  Paint(rgb32.Get(), 0x00FFFFFF, 0x00FFFFFF);
  Paint(rgb565.Get(), 0xF800, 0x001F);  // red, the last row's first pixel blue

  IDirect3DTexture9* made = texture->Texture();
  ASSERT_EQ(texture->CopyFromDirectDrawSurface(rgb32.Get()), S_OK);
  EXPECT_EQ(texture->Texture(), made) << "the same format and size: the texture stays";
  ASSERT_EQ(texture->CopyFromDirectDrawSurface(rgb565.Get()), S_OK);
  EXPECT_NE(texture->Texture(), made) << "5-6-5: made anew";
  made = texture->Texture();
  EXPECT_EQ(texture->LevelDescription().Format, D3DFMT_R5G6B5);
  EXPECT_EQ(texture->LevelDescription().Usage, static_cast<DWORD>(D3DUSAGE_RENDERTARGET)) << "usage kept";
  EXPECT_EQ(texture->LevelDescription().Width, 512u);
  ASSERT_EQ(texture->CopyFromDirectDrawSurface(rgb565.Get()), S_OK);
  EXPECT_EQ(texture->Texture(), made) << "once only";
  EXPECT_TRUE(IsColour(TexelOf(Device(), *texture, 10, 10), 255, 0, 0));
  EXPECT_TRUE(IsColour(TexelOf(Device(), *texture, 0, 239), 0, 0, 255));

  // A smaller video: another power-of-two size, and its own content size.
  const ComPtr<IDirectDrawSurface7> small = MakeSurface(DirectDraw(), 100, 60, kRgb565);
  Paint(small.Get(), 0x07E0, 0x07E0);
  ASSERT_EQ(texture->CopyFromDirectDrawSurface(small.Get()), S_OK);
  EXPECT_EQ(texture->LevelDescription().Width, 128u);
  EXPECT_EQ(texture->LevelDescription().Height, 64u);
  EXPECT_EQ(texture->contentWidth(), 100u);
  EXPECT_EQ(texture->contentHeight(), 60u);
  for (auto [x, y] : {std::pair{0, 0}, {50, 30}, {99, 59}, {99, 0}, {0, 59}}) {
    const Colour c = TexelOf(Device(), *texture, x, y);
    EXPECT_TRUE(IsColour(c, 0, 255, 0)) << x << "," << y << ": " << c.r << " " << c.g << " " << c.b;
  }

  const ComPtr<IDirectDrawSurface7> palette = MakeSurface(DirectDraw(), 64, 64, Palette8());
  ASSERT_TRUE(palette);
  EXPECT_EQ(texture->CopyFromDirectDrawSurface(palette.Get()), E_INVALIDARG);
}

TEST_F(Vmr7Grabber, AFiveSixFiveVideoGivesTheRenderThreadAFiveSixFivePicture) {
  const ComPtr<IDirectDrawSurface7> surface = MakeSurface(DirectDraw(), 320, 240, kRgb565);
  ASSERT_TRUE(surface);
  Paint(surface.Get(), 0x07E0, 0xF800);
  for (int i = 0; i < 3; ++i) ExpectPresented(surface.Get());
  PosterFrame frame;
  ASSERT_TRUE(grabber().CopyFrame(frame));
  EXPECT_EQ(frame.texture->LevelDescription().Format, D3DFMT_R5G6B5);
  EXPECT_EQ(frame.texture->contentWidth(), 320u);
  EXPECT_TRUE(IsColour(TexelOf(Device(), *frame.texture, 200, 100), 0, 255, 0));
  EXPECT_TRUE(IsColour(TexelOf(Device(), *frame.texture, 0, 239), 255, 0, 0));
}

TEST_F(Vmr7Grabber, AnEightBitPaletteFrameIsNotCopiedButStillAnnounced) {
  const ComPtr<IDirectDrawSurface7> surface = MakeSurface(DirectDraw(), 64, 64, Palette8());
  ASSERT_TRUE(surface);
  ExpectPresented(surface.Get());
  PosterFrame frame;
  ASSERT_TRUE(grabber().CopyFrame(frame)) << "the poster exists; it keeps its picture";
  EXPECT_EQ(frame.texture->LevelDescription().Format, D3DFMT_X8R8G8B8) << "no copy, so nothing was remade";
  EXPECT_EQ(grabber().framesPresented(), 1u);
}

TEST_F(Vmr7Grabber, AfterReleaseSurfacesNoFrameIsHandedOutUntilTheNextOneOfWhateverSize) {
  const ComPtr<IDirectDrawSurface7> big = MakeSurface(DirectDraw(), 320, 240, kRgb32);
  const ComPtr<IDirectDrawSurface7> small = MakeSurface(DirectDraw(), 160, 120, kRgb32);
  ASSERT_TRUE(big && small);
  Paint(small.Get(), 0x00FF00FF, 0x00FF00FF);
  ExpectPresented(big.Get());
  EXPECT_TRUE(grabber().ReleaseSurfaces());
  PosterFrame frame;
  EXPECT_FALSE(grabber().CopyFrame(frame));
  ExpectPresented(small.Get());
  ASSERT_TRUE(grabber().CopyFrame(frame));
  EXPECT_EQ(frame.time, kFreshTime + 1) << "a new poster";
  EXPECT_EQ(frame.texture->LevelDescription().Width, 256u);
  EXPECT_EQ(frame.texture->contentHeight(), 120u);
  EXPECT_TRUE(IsColour(TexelOf(Device(), *frame.texture, 159, 119), 255, 0, 255));
}

// A stream whose picture changes size (a new format negotiated mid-stream): the grabber's own
// system-memory copy follows it instead of stretching the new picture into the old size.
TEST_F(Vmr7Grabber, APictureOfAnotherSizeMidStreamIsCopiedAtItsOwnSize) {
  const ComPtr<IDirectDrawSurface7> big = MakeSurface(DirectDraw(), 320, 240, kRgb32);
  const ComPtr<IDirectDrawSurface7> small = MakeSurface(DirectDraw(), 160, 120, kRgb565);
  ASSERT_TRUE(big && small);
  Paint(big.Get(), 0x00FFFFFF, 0x00FFFFFF);
  Paint(small.Get(), 0x001F, 0xF800);  // blue, the last row's first pixel red
  ExpectPresented(big.Get());
  ExpectPresented(small.Get());
  PosterFrame frame;
  ASSERT_TRUE(grabber().CopyFrame(frame));
  EXPECT_EQ(frame.texture->LevelDescription().Format, D3DFMT_R5G6B5);
  EXPECT_EQ(frame.texture->contentWidth(), 160u);
  EXPECT_EQ(frame.texture->contentHeight(), 120u);
  EXPECT_TRUE(IsColour(TexelOf(Device(), *frame.texture, 159, 0), 0, 0, 255));
  EXPECT_TRUE(IsColour(TexelOf(Device(), *frame.texture, 0, 119), 255, 0, 0)) << "the small picture's own last row";
}

TEST_F(Vmr7Grabber, WithoutADefaultAllocatorPresenterEveryCallAnswersEPointerAndNothingIsCaptured) {
  const ComPtr<IVMRSurfaceAllocator> bare(new DShowVmr7Grabber(DirectDraw(), Device(), nullptr));
  auto& alone = *static_cast<DShowVmr7Grabber*>(bare.Get());
  alone.SetFrameEvent(frameEvent.get());
  VMRALLOCATIONINFO info{};
  DWORD buffers = 1;
  ComPtr<IDirectDrawSurface7> out;
  EXPECT_EQ(alone.AllocateSurface(kVmrUserId, &info, &buffers, out.GetAddressOf()), E_POINTER);
  EXPECT_EQ(alone.FreeSurface(kVmrUserId), E_POINTER);
  EXPECT_EQ(alone.PrepareSurface(kVmrUserId, nullptr, 0), E_POINTER);
  EXPECT_EQ(alone.AdviseNotify(nullptr), E_POINTER);
  EXPECT_EQ(alone.StartPresenting(kVmrUserId), E_POINTER);
  EXPECT_EQ(alone.StopPresenting(kVmrUserId), E_POINTER);
  const ComPtr<IDirectDrawSurface7> surface = MakeSurface(DirectDraw(), 64, 64, kRgb32);
  VMRPRESENTATIONINFO present{};
  present.lpSurf = surface.Get();
  EXPECT_EQ(alone.PresentImage(kVmrUserId, &present), E_POINTER);
  PosterFrame frame;
  EXPECT_FALSE(alone.CopyFrame(frame));
  EXPECT_FALSE(WaitFor(frameEvent.get(), 0));

  // With one, a presentation without a surface is refused.
  EXPECT_EQ(grabber().PresentImage(kVmrUserId, nullptr), E_INVALIDARG);
  VMRPRESENTATIONINFO empty{};
  EXPECT_EQ(grabber().PresentImage(kVmrUserId, &empty), E_INVALIDARG);
}

TEST_F(Vmr7Grabber, IsACOMObjectThatLetsGoOfTheDefaultAllocatorPresenterWithItsLastReference) {
  void* asAllocator = nullptr;
  void* asPresenter = nullptr;
  void* asUnknown = nullptr;
  void* other = reinterpret_cast<void*>(1);
  ASSERT_EQ(allocator->QueryInterface(IID_IVMRSurfaceAllocator, &asAllocator), S_OK);
  ASSERT_EQ(allocator->QueryInterface(IID_IUnknown, &asUnknown), S_OK);
  ASSERT_EQ(allocator->QueryInterface(IID_IVMRImagePresenter, &asPresenter), S_OK);
  EXPECT_EQ(allocator->QueryInterface(IID_IVMRSurfaceAllocator9, &other), E_NOINTERFACE);
  EXPECT_EQ(other, nullptr);
  EXPECT_EQ(asAllocator, allocator.Get());
  EXPECT_EQ(asUnknown, allocator.Get());
  EXPECT_EQ(asPresenter, static_cast<IVMRImagePresenter*>(&grabber()));
  EXPECT_EQ(allocator->Release(), 3u);
  EXPECT_EQ(allocator->Release(), 2u);
  EXPECT_EQ(static_cast<IVMRImagePresenter*>(asPresenter)->Release(), 1u);

  EXPECT_EQ(standIn->References(), 3u) << "ours, and the grabber's two interfaces of it";
  allocator.Reset();
  EXPECT_EQ(standIn->References(), 1u) << "the grabber deleted itself and let go";
}

}  // namespace
