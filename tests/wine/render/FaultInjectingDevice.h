#pragma once
// A real device behind a forwarding wrapper, so that a test can make it answer what the
// platform will not produce on demand (a lost device when presenting). Every method but
// Present forwards to the wrapped device unchanged.
#include <d3d9.h>
#include <wrl/client.h>

#include <atomic>

class FaultInjectingDevice : public IDirect3DDevice9 {
 public:
  explicit FaultInjectingDevice(IDirect3DDevice9* device) : inner(device) {}
  virtual ~FaultInjectingDevice() = default;
  FaultInjectingDevice(const FaultInjectingDevice&) = delete;
  FaultInjectingDevice& operator=(const FaultInjectingDevice&) = delete;

  // The next presents answer this instead of presenting (S_OK: present normally).
  void SetPresentResult(HRESULT result) { presentResult = result; }

  // Hands out the wrapped device: the renderer never asks, and the wrapper needs no interface ids.
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
    return inner->QueryInterface(riid, object);
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references;
    if (left == 0) delete this;
    return left;
  }
  HRESULT STDMETHODCALLTYPE Present(const RECT* source, const RECT* destination, HWND window,
                                    const RGNDATA* dirty) override {
    if (presentResult != S_OK) return presentResult;
    return inner->Present(source, destination, window, dirty);
  }

  // Forwarded unchanged.
  HRESULT STDMETHODCALLTYPE TestCooperativeLevel() override {
    return inner->TestCooperativeLevel();
  }
  UINT STDMETHODCALLTYPE GetAvailableTextureMem() override {
    return inner->GetAvailableTextureMem();
  }
  HRESULT STDMETHODCALLTYPE EvictManagedResources() override {
    return inner->EvictManagedResources();
  }
  HRESULT STDMETHODCALLTYPE GetDirect3D(IDirect3D9** ppD3D9) override {
    return inner->GetDirect3D(ppD3D9);
  }
  HRESULT STDMETHODCALLTYPE GetDeviceCaps(D3DCAPS9* pCaps) override {
    return inner->GetDeviceCaps(pCaps);
  }
  HRESULT STDMETHODCALLTYPE GetDisplayMode(UINT iSwapChain, D3DDISPLAYMODE* pMode) override {
    return inner->GetDisplayMode(iSwapChain, pMode);
  }
  HRESULT STDMETHODCALLTYPE GetCreationParameters(D3DDEVICE_CREATION_PARAMETERS *pParameters) override {
    return inner->GetCreationParameters(pParameters);
  }
  HRESULT STDMETHODCALLTYPE SetCursorProperties(UINT XHotSpot, UINT YHotSpot, IDirect3DSurface9* pCursorBitmap) override {
    return inner->SetCursorProperties(XHotSpot, YHotSpot, pCursorBitmap);
  }
  void STDMETHODCALLTYPE SetCursorPosition(int X, int Y, DWORD Flags) override {
    inner->SetCursorPosition(X, Y, Flags);
  }
  WINBOOL STDMETHODCALLTYPE ShowCursor(WINBOOL bShow) override {
    return inner->ShowCursor(bShow);
  }
  HRESULT STDMETHODCALLTYPE CreateAdditionalSwapChain(D3DPRESENT_PARAMETERS* pPresentationParameters, IDirect3DSwapChain9** pSwapChain) override {
    return inner->CreateAdditionalSwapChain(pPresentationParameters, pSwapChain);
  }
  HRESULT STDMETHODCALLTYPE GetSwapChain(UINT iSwapChain, IDirect3DSwapChain9** pSwapChain) override {
    return inner->GetSwapChain(iSwapChain, pSwapChain);
  }
  UINT STDMETHODCALLTYPE GetNumberOfSwapChains() override {
    return inner->GetNumberOfSwapChains();
  }
  HRESULT STDMETHODCALLTYPE Reset(D3DPRESENT_PARAMETERS* pPresentationParameters) override {
    return inner->Reset(pPresentationParameters);
  }
  HRESULT STDMETHODCALLTYPE GetBackBuffer(UINT iSwapChain, UINT iBackBuffer, D3DBACKBUFFER_TYPE Type, IDirect3DSurface9** ppBackBuffer) override {
    return inner->GetBackBuffer(iSwapChain, iBackBuffer, Type, ppBackBuffer);
  }
  HRESULT STDMETHODCALLTYPE GetRasterStatus(UINT iSwapChain, D3DRASTER_STATUS* pRasterStatus) override {
    return inner->GetRasterStatus(iSwapChain, pRasterStatus);
  }
  HRESULT STDMETHODCALLTYPE SetDialogBoxMode(WINBOOL bEnableDialogs) override {
    return inner->SetDialogBoxMode(bEnableDialogs);
  }
  void STDMETHODCALLTYPE SetGammaRamp(UINT swapchain_idx, DWORD flags, const D3DGAMMARAMP *ramp) override {
    inner->SetGammaRamp(swapchain_idx, flags, ramp);
  }
  void STDMETHODCALLTYPE GetGammaRamp(UINT iSwapChain, D3DGAMMARAMP* pRamp) override {
    inner->GetGammaRamp(iSwapChain, pRamp);
  }
  HRESULT STDMETHODCALLTYPE CreateTexture(UINT Width, UINT Height, UINT Levels, DWORD Usage, D3DFORMAT Format, D3DPOOL Pool, IDirect3DTexture9** ppTexture, HANDLE* pSharedHandle) override {
    return inner->CreateTexture(Width, Height, Levels, Usage, Format, Pool, ppTexture, pSharedHandle);
  }
  HRESULT STDMETHODCALLTYPE CreateVolumeTexture(UINT Width, UINT Height, UINT Depth, UINT Levels, DWORD Usage, D3DFORMAT Format, D3DPOOL Pool, IDirect3DVolumeTexture9** ppVolumeTexture, HANDLE* pSharedHandle) override {
    return inner->CreateVolumeTexture(Width, Height, Depth, Levels, Usage, Format, Pool, ppVolumeTexture, pSharedHandle);
  }
  HRESULT STDMETHODCALLTYPE CreateCubeTexture(UINT EdgeLength, UINT Levels, DWORD Usage, D3DFORMAT Format, D3DPOOL Pool, IDirect3DCubeTexture9** ppCubeTexture, HANDLE* pSharedHandle) override {
    return inner->CreateCubeTexture(EdgeLength, Levels, Usage, Format, Pool, ppCubeTexture, pSharedHandle);
  }
  HRESULT STDMETHODCALLTYPE CreateVertexBuffer(UINT Length, DWORD Usage, DWORD FVF, D3DPOOL Pool, IDirect3DVertexBuffer9** ppVertexBuffer, HANDLE* pSharedHandle) override {
    return inner->CreateVertexBuffer(Length, Usage, FVF, Pool, ppVertexBuffer, pSharedHandle);
  }
  HRESULT STDMETHODCALLTYPE CreateIndexBuffer(UINT Length, DWORD Usage, D3DFORMAT Format, D3DPOOL Pool, IDirect3DIndexBuffer9** ppIndexBuffer, HANDLE* pSharedHandle) override {
    return inner->CreateIndexBuffer(Length, Usage, Format, Pool, ppIndexBuffer, pSharedHandle);
  }
  HRESULT STDMETHODCALLTYPE CreateRenderTarget(UINT Width, UINT Height, D3DFORMAT Format, D3DMULTISAMPLE_TYPE MultiSample, DWORD MultisampleQuality, WINBOOL Lockable, IDirect3DSurface9** ppSurface, HANDLE* pSharedHandle) override {
    return inner->CreateRenderTarget(Width, Height, Format, MultiSample, MultisampleQuality, Lockable, ppSurface, pSharedHandle);
  }
  HRESULT STDMETHODCALLTYPE CreateDepthStencilSurface(UINT Width, UINT Height, D3DFORMAT Format, D3DMULTISAMPLE_TYPE MultiSample, DWORD MultisampleQuality, WINBOOL Discard, IDirect3DSurface9** ppSurface, HANDLE* pSharedHandle) override {
    return inner->CreateDepthStencilSurface(Width, Height, Format, MultiSample, MultisampleQuality, Discard, ppSurface, pSharedHandle);
  }
  HRESULT STDMETHODCALLTYPE UpdateSurface(IDirect3DSurface9 *src_surface, const RECT *src_rect, IDirect3DSurface9 *dst_surface, const POINT *dst_point) override {
    return inner->UpdateSurface(src_surface, src_rect, dst_surface, dst_point);
  }
  HRESULT STDMETHODCALLTYPE UpdateTexture(IDirect3DBaseTexture9* pSourceTexture, IDirect3DBaseTexture9* pDestinationTexture) override {
    return inner->UpdateTexture(pSourceTexture, pDestinationTexture);
  }
  HRESULT STDMETHODCALLTYPE GetRenderTargetData(IDirect3DSurface9* pRenderTarget, IDirect3DSurface9* pDestSurface) override {
    return inner->GetRenderTargetData(pRenderTarget, pDestSurface);
  }
  HRESULT STDMETHODCALLTYPE GetFrontBufferData(UINT iSwapChain, IDirect3DSurface9* pDestSurface) override {
    return inner->GetFrontBufferData(iSwapChain, pDestSurface);
  }
  HRESULT STDMETHODCALLTYPE StretchRect(IDirect3DSurface9 *src_surface, const RECT *src_rect, IDirect3DSurface9 *dst_surface, const RECT *dst_rect, D3DTEXTUREFILTERTYPE filter) override {
    return inner->StretchRect(src_surface, src_rect, dst_surface, dst_rect, filter);
  }
  HRESULT STDMETHODCALLTYPE ColorFill(IDirect3DSurface9 *surface, const RECT *rect, D3DCOLOR color) override {
    return inner->ColorFill(surface, rect, color);
  }
  HRESULT STDMETHODCALLTYPE CreateOffscreenPlainSurface(UINT Width, UINT Height, D3DFORMAT Format, D3DPOOL Pool, IDirect3DSurface9** ppSurface, HANDLE* pSharedHandle) override {
    return inner->CreateOffscreenPlainSurface(Width, Height, Format, Pool, ppSurface, pSharedHandle);
  }
  HRESULT STDMETHODCALLTYPE SetRenderTarget(DWORD RenderTargetIndex, IDirect3DSurface9* pRenderTarget) override {
    return inner->SetRenderTarget(RenderTargetIndex, pRenderTarget);
  }
  HRESULT STDMETHODCALLTYPE GetRenderTarget(DWORD RenderTargetIndex, IDirect3DSurface9** ppRenderTarget) override {
    return inner->GetRenderTarget(RenderTargetIndex, ppRenderTarget);
  }
  HRESULT STDMETHODCALLTYPE SetDepthStencilSurface(IDirect3DSurface9* pNewZStencil) override {
    return inner->SetDepthStencilSurface(pNewZStencil);
  }
  HRESULT STDMETHODCALLTYPE GetDepthStencilSurface(IDirect3DSurface9** ppZStencilSurface) override {
    return inner->GetDepthStencilSurface(ppZStencilSurface);
  }
  HRESULT STDMETHODCALLTYPE BeginScene() override {
    return inner->BeginScene();
  }
  HRESULT STDMETHODCALLTYPE EndScene() override {
    return inner->EndScene();
  }
  HRESULT STDMETHODCALLTYPE Clear(DWORD rect_count, const D3DRECT *rects, DWORD flags, D3DCOLOR color, float z, DWORD stencil) override {
    return inner->Clear(rect_count, rects, flags, color, z, stencil);
  }
  HRESULT STDMETHODCALLTYPE SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX *matrix) override {
    return inner->SetTransform(state, matrix);
  }
  HRESULT STDMETHODCALLTYPE GetTransform(D3DTRANSFORMSTATETYPE State, D3DMATRIX* pMatrix) override {
    return inner->GetTransform(State, pMatrix);
  }
  HRESULT STDMETHODCALLTYPE MultiplyTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX *matrix) override {
    return inner->MultiplyTransform(state, matrix);
  }
  HRESULT STDMETHODCALLTYPE SetViewport(const D3DVIEWPORT9 *viewport) override {
    return inner->SetViewport(viewport);
  }
  HRESULT STDMETHODCALLTYPE GetViewport(D3DVIEWPORT9* pViewport) override {
    return inner->GetViewport(pViewport);
  }
  HRESULT STDMETHODCALLTYPE SetMaterial(const D3DMATERIAL9 *material) override {
    return inner->SetMaterial(material);
  }
  HRESULT STDMETHODCALLTYPE GetMaterial(D3DMATERIAL9* pMaterial) override {
    return inner->GetMaterial(pMaterial);
  }
  HRESULT STDMETHODCALLTYPE SetLight(DWORD index, const D3DLIGHT9 *light) override {
    return inner->SetLight(index, light);
  }
  HRESULT STDMETHODCALLTYPE GetLight(DWORD Index, D3DLIGHT9* arg1) override {
    return inner->GetLight(Index, arg1);
  }
  HRESULT STDMETHODCALLTYPE LightEnable(DWORD Index, WINBOOL Enable) override {
    return inner->LightEnable(Index, Enable);
  }
  HRESULT STDMETHODCALLTYPE GetLightEnable(DWORD Index, WINBOOL* pEnable) override {
    return inner->GetLightEnable(Index, pEnable);
  }
  HRESULT STDMETHODCALLTYPE SetClipPlane(DWORD index, const float *plane) override {
    return inner->SetClipPlane(index, plane);
  }
  HRESULT STDMETHODCALLTYPE GetClipPlane(DWORD Index, float* pPlane) override {
    return inner->GetClipPlane(Index, pPlane);
  }
  HRESULT STDMETHODCALLTYPE SetRenderState(D3DRENDERSTATETYPE State, DWORD Value) override {
    return inner->SetRenderState(State, Value);
  }
  HRESULT STDMETHODCALLTYPE GetRenderState(D3DRENDERSTATETYPE State, DWORD* pValue) override {
    return inner->GetRenderState(State, pValue);
  }
  HRESULT STDMETHODCALLTYPE CreateStateBlock(D3DSTATEBLOCKTYPE Type, IDirect3DStateBlock9** ppSB) override {
    return inner->CreateStateBlock(Type, ppSB);
  }
  HRESULT STDMETHODCALLTYPE BeginStateBlock() override {
    return inner->BeginStateBlock();
  }
  HRESULT STDMETHODCALLTYPE EndStateBlock(IDirect3DStateBlock9** ppSB) override {
    return inner->EndStateBlock(ppSB);
  }
  HRESULT STDMETHODCALLTYPE SetClipStatus(const D3DCLIPSTATUS9 *clip_status) override {
    return inner->SetClipStatus(clip_status);
  }
  HRESULT STDMETHODCALLTYPE GetClipStatus(D3DCLIPSTATUS9* pClipStatus) override {
    return inner->GetClipStatus(pClipStatus);
  }
  HRESULT STDMETHODCALLTYPE GetTexture(DWORD Stage, IDirect3DBaseTexture9** ppTexture) override {
    return inner->GetTexture(Stage, ppTexture);
  }
  HRESULT STDMETHODCALLTYPE SetTexture(DWORD Stage, IDirect3DBaseTexture9* pTexture) override {
    return inner->SetTexture(Stage, pTexture);
  }
  HRESULT STDMETHODCALLTYPE GetTextureStageState(DWORD Stage, D3DTEXTURESTAGESTATETYPE Type, DWORD* pValue) override {
    return inner->GetTextureStageState(Stage, Type, pValue);
  }
  HRESULT STDMETHODCALLTYPE SetTextureStageState(DWORD Stage, D3DTEXTURESTAGESTATETYPE Type, DWORD Value) override {
    return inner->SetTextureStageState(Stage, Type, Value);
  }
  HRESULT STDMETHODCALLTYPE GetSamplerState(DWORD Sampler, D3DSAMPLERSTATETYPE Type, DWORD* pValue) override {
    return inner->GetSamplerState(Sampler, Type, pValue);
  }
  HRESULT STDMETHODCALLTYPE SetSamplerState(DWORD Sampler, D3DSAMPLERSTATETYPE Type, DWORD Value) override {
    return inner->SetSamplerState(Sampler, Type, Value);
  }
  HRESULT STDMETHODCALLTYPE ValidateDevice(DWORD* pNumPasses) override {
    return inner->ValidateDevice(pNumPasses);
  }
  HRESULT STDMETHODCALLTYPE SetPaletteEntries(UINT palette_idx, const PALETTEENTRY *entries) override {
    return inner->SetPaletteEntries(palette_idx, entries);
  }
  HRESULT STDMETHODCALLTYPE GetPaletteEntries(UINT PaletteNumber, PALETTEENTRY* pEntries) override {
    return inner->GetPaletteEntries(PaletteNumber, pEntries);
  }
  HRESULT STDMETHODCALLTYPE SetCurrentTexturePalette(UINT PaletteNumber) override {
    return inner->SetCurrentTexturePalette(PaletteNumber);
  }
  HRESULT STDMETHODCALLTYPE GetCurrentTexturePalette(UINT *PaletteNumber) override {
    return inner->GetCurrentTexturePalette(PaletteNumber);
  }
  HRESULT STDMETHODCALLTYPE SetScissorRect(const RECT *rect) override {
    return inner->SetScissorRect(rect);
  }
  HRESULT STDMETHODCALLTYPE GetScissorRect(RECT* pRect) override {
    return inner->GetScissorRect(pRect);
  }
  HRESULT STDMETHODCALLTYPE SetSoftwareVertexProcessing(WINBOOL bSoftware) override {
    return inner->SetSoftwareVertexProcessing(bSoftware);
  }
  WINBOOL STDMETHODCALLTYPE GetSoftwareVertexProcessing() override {
    return inner->GetSoftwareVertexProcessing();
  }
  HRESULT STDMETHODCALLTYPE SetNPatchMode(float nSegments) override {
    return inner->SetNPatchMode(nSegments);
  }
  float STDMETHODCALLTYPE GetNPatchMode() override {
    return inner->GetNPatchMode();
  }
  HRESULT STDMETHODCALLTYPE DrawPrimitive(D3DPRIMITIVETYPE PrimitiveType, UINT StartVertex, UINT PrimitiveCount) override {
    return inner->DrawPrimitive(PrimitiveType, StartVertex, PrimitiveCount);
  }
  HRESULT STDMETHODCALLTYPE DrawIndexedPrimitive(D3DPRIMITIVETYPE arg0, INT BaseVertexIndex, UINT MinVertexIndex, UINT NumVertices, UINT startIndex, UINT primCount) override {
    return inner->DrawIndexedPrimitive(arg0, BaseVertexIndex, MinVertexIndex, NumVertices, startIndex, primCount);
  }
  HRESULT STDMETHODCALLTYPE DrawPrimitiveUP(D3DPRIMITIVETYPE primitive_type, UINT primitive_count, const void *data, UINT stride) override {
    return inner->DrawPrimitiveUP(primitive_type, primitive_count, data, stride);
  }
  HRESULT STDMETHODCALLTYPE DrawIndexedPrimitiveUP(D3DPRIMITIVETYPE primitive_type, UINT min_vertex_idx, UINT vertex_count, UINT primitive_count, const void *index_data, D3DFORMAT index_format, const void *data, UINT stride) override {
    return inner->DrawIndexedPrimitiveUP(primitive_type, min_vertex_idx, vertex_count, primitive_count, index_data, index_format, data, stride);
  }
  HRESULT STDMETHODCALLTYPE ProcessVertices(UINT SrcStartIndex, UINT DestIndex, UINT VertexCount, IDirect3DVertexBuffer9* pDestBuffer, IDirect3DVertexDeclaration9* pVertexDecl, DWORD Flags) override {
    return inner->ProcessVertices(SrcStartIndex, DestIndex, VertexCount, pDestBuffer, pVertexDecl, Flags);
  }
  HRESULT STDMETHODCALLTYPE CreateVertexDeclaration(const D3DVERTEXELEMENT9 *elements, IDirect3DVertexDeclaration9 **declaration) override {
    return inner->CreateVertexDeclaration(elements, declaration);
  }
  HRESULT STDMETHODCALLTYPE SetVertexDeclaration(IDirect3DVertexDeclaration9* pDecl) override {
    return inner->SetVertexDeclaration(pDecl);
  }
  HRESULT STDMETHODCALLTYPE GetVertexDeclaration(IDirect3DVertexDeclaration9** ppDecl) override {
    return inner->GetVertexDeclaration(ppDecl);
  }
  HRESULT STDMETHODCALLTYPE SetFVF(DWORD FVF) override {
    return inner->SetFVF(FVF);
  }
  HRESULT STDMETHODCALLTYPE GetFVF(DWORD* pFVF) override {
    return inner->GetFVF(pFVF);
  }
  HRESULT STDMETHODCALLTYPE CreateVertexShader(const DWORD *byte_code, IDirect3DVertexShader9 **shader) override {
    return inner->CreateVertexShader(byte_code, shader);
  }
  HRESULT STDMETHODCALLTYPE SetVertexShader(IDirect3DVertexShader9* pShader) override {
    return inner->SetVertexShader(pShader);
  }
  HRESULT STDMETHODCALLTYPE GetVertexShader(IDirect3DVertexShader9** ppShader) override {
    return inner->GetVertexShader(ppShader);
  }
  HRESULT STDMETHODCALLTYPE SetVertexShaderConstantF(UINT reg_idx, const float *data, UINT count) override {
    return inner->SetVertexShaderConstantF(reg_idx, data, count);
  }
  HRESULT STDMETHODCALLTYPE GetVertexShaderConstantF(UINT StartRegister, float* pConstantData, UINT Vector4fCount) override {
    return inner->GetVertexShaderConstantF(StartRegister, pConstantData, Vector4fCount);
  }
  HRESULT STDMETHODCALLTYPE SetVertexShaderConstantI(UINT reg_idx, const int *data, UINT count) override {
    return inner->SetVertexShaderConstantI(reg_idx, data, count);
  }
  HRESULT STDMETHODCALLTYPE GetVertexShaderConstantI(UINT StartRegister, int* pConstantData, UINT Vector4iCount) override {
    return inner->GetVertexShaderConstantI(StartRegister, pConstantData, Vector4iCount);
  }
  HRESULT STDMETHODCALLTYPE SetVertexShaderConstantB(UINT reg_idx, const WINBOOL *data, UINT count) override {
    return inner->SetVertexShaderConstantB(reg_idx, data, count);
  }
  HRESULT STDMETHODCALLTYPE GetVertexShaderConstantB(UINT StartRegister, WINBOOL* pConstantData, UINT BoolCount) override {
    return inner->GetVertexShaderConstantB(StartRegister, pConstantData, BoolCount);
  }
  HRESULT STDMETHODCALLTYPE SetStreamSource(UINT StreamNumber, IDirect3DVertexBuffer9* pStreamData, UINT OffsetInBytes, UINT Stride) override {
    return inner->SetStreamSource(StreamNumber, pStreamData, OffsetInBytes, Stride);
  }
  HRESULT STDMETHODCALLTYPE GetStreamSource(UINT StreamNumber, IDirect3DVertexBuffer9** ppStreamData, UINT* OffsetInBytes, UINT* pStride) override {
    return inner->GetStreamSource(StreamNumber, ppStreamData, OffsetInBytes, pStride);
  }
  HRESULT STDMETHODCALLTYPE SetStreamSourceFreq(UINT StreamNumber, UINT Divider) override {
    return inner->SetStreamSourceFreq(StreamNumber, Divider);
  }
  HRESULT STDMETHODCALLTYPE GetStreamSourceFreq(UINT StreamNumber, UINT* Divider) override {
    return inner->GetStreamSourceFreq(StreamNumber, Divider);
  }
  HRESULT STDMETHODCALLTYPE SetIndices(IDirect3DIndexBuffer9* pIndexData) override {
    return inner->SetIndices(pIndexData);
  }
  HRESULT STDMETHODCALLTYPE GetIndices(IDirect3DIndexBuffer9** ppIndexData) override {
    return inner->GetIndices(ppIndexData);
  }
  HRESULT STDMETHODCALLTYPE CreatePixelShader(const DWORD *byte_code, IDirect3DPixelShader9 **shader) override {
    return inner->CreatePixelShader(byte_code, shader);
  }
  HRESULT STDMETHODCALLTYPE SetPixelShader(IDirect3DPixelShader9* pShader) override {
    return inner->SetPixelShader(pShader);
  }
  HRESULT STDMETHODCALLTYPE GetPixelShader(IDirect3DPixelShader9** ppShader) override {
    return inner->GetPixelShader(ppShader);
  }
  HRESULT STDMETHODCALLTYPE SetPixelShaderConstantF(UINT reg_idx, const float *data, UINT count) override {
    return inner->SetPixelShaderConstantF(reg_idx, data, count);
  }
  HRESULT STDMETHODCALLTYPE GetPixelShaderConstantF(UINT StartRegister, float* pConstantData, UINT Vector4fCount) override {
    return inner->GetPixelShaderConstantF(StartRegister, pConstantData, Vector4fCount);
  }
  HRESULT STDMETHODCALLTYPE SetPixelShaderConstantI(UINT reg_idx, const int *data, UINT count) override {
    return inner->SetPixelShaderConstantI(reg_idx, data, count);
  }
  HRESULT STDMETHODCALLTYPE GetPixelShaderConstantI(UINT StartRegister, int* pConstantData, UINT Vector4iCount) override {
    return inner->GetPixelShaderConstantI(StartRegister, pConstantData, Vector4iCount);
  }
  HRESULT STDMETHODCALLTYPE SetPixelShaderConstantB(UINT reg_idx, const WINBOOL *data, UINT count) override {
    return inner->SetPixelShaderConstantB(reg_idx, data, count);
  }
  HRESULT STDMETHODCALLTYPE GetPixelShaderConstantB(UINT StartRegister, WINBOOL* pConstantData, UINT BoolCount) override {
    return inner->GetPixelShaderConstantB(StartRegister, pConstantData, BoolCount);
  }
  HRESULT STDMETHODCALLTYPE DrawRectPatch(UINT handle, const float *segment_count, const D3DRECTPATCH_INFO *patch_info) override {
    return inner->DrawRectPatch(handle, segment_count, patch_info);
  }
  HRESULT STDMETHODCALLTYPE DrawTriPatch(UINT handle, const float *segment_count, const D3DTRIPATCH_INFO *patch_info) override {
    return inner->DrawTriPatch(handle, segment_count, patch_info);
  }
  HRESULT STDMETHODCALLTYPE DeletePatch(UINT Handle) override {
    return inner->DeletePatch(Handle);
  }
  HRESULT STDMETHODCALLTYPE CreateQuery(D3DQUERYTYPE Type, IDirect3DQuery9** ppQuery) override {
    return inner->CreateQuery(Type, ppQuery);
  }

 private:
  Microsoft::WRL::ComPtr<IDirect3DDevice9> inner;
  std::atomic<ULONG> references{1};
  HRESULT presentResult = S_OK;
};
