#include "settings/D3dxNotice.h"

#include <windows.h>

#include "render/Direct3DDevice.h"
#include "render/ShadowEffect.h"

const wchar_t kDirectXRuntimePage[] = L"https://www.microsoft.com/ja-jp/download/details.aspx?id=35";

bool ShadowEffectAvailable() {
  // A library that loads stays loaded.
  if (LoadLibraryW(L"D3DX9_42.DLL")) return true;
  const Microsoft::WRL::ComPtr<IDirect3D9> direct3d = CreateDirect3D();
  return direct3d && ShadowEffect::DeviceShadersPossible(direct3d.Get());
}

std::wstring D3dxNoticeText(bool effectAvailable) {
  if (effectAvailable) return std::wstring();
  return std::wstring(L"D3DX9_42.DLLが見つかりませんでした。\r\n") +
         L"この状態では「影絵で流すファイル」を指定しても透過処理が行われません。\r\n" + L"\r\n" +
         L"この機能を利用したい場合は<a href=\"" + kDirectXRuntimePage +
         L"\">マイクロソフト公式サイト</a>からDirectXを最新版に更新してください。\r\n";
}
