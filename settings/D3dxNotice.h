#pragma once
// The notice in the settings dialog's link control about the D3DX runtime, without which a
// shadow movie is drawn opaque.
#include <string>

// The vendor's download page of the DirectX end-user runtime, linked from the notice.
extern const wchar_t kDirectXRuntimePage[];

// Tries to load D3DX9_42.DLL; a library that loads stays loaded.
bool LoadD3dx();

// Nothing when the library loads; otherwise four lines in the link control's markup, the last
// with the link to the download page.
std::wstring D3dxNoticeText(bool d3dxLoads);
