#include "settings/D3dxNotice.h"

#include <windows.h>

const wchar_t kDirectXRuntimePage[] = L"https://www.microsoft.com/ja-jp/download/details.aspx?id=35";

bool LoadD3dx() { return LoadLibraryW(L"D3DX9_42.DLL") != nullptr; }

std::wstring D3dxNoticeText(bool d3dxLoads) {
  if (d3dxLoads) return std::wstring();
  return std::wstring(L"D3DX9_42.DLLが見つかりませんでした。\r\n") +
         L"この状態では「影絵で流すファイル」を指定しても透過処理が行われません。\r\n" + L"\r\n" +
         L"この機能を利用したい場合は<a href=\"" + kDirectXRuntimePage +
         L"\">マイクロソフト公式サイト</a>からDirectXを最新版に更新してください。\r\n";
}
