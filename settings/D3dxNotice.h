#pragma once
// The notice in the settings dialog's link control about the D3DX runtime. It is shown only where
// the shadow movie cannot be drawn through its effect at all: D3DX9_42.DLL is missing and the
// display adapter cannot make the effect's own shaders either (the movie is then drawn opaque).
#include <string>

// The vendor's download page of the DirectX end-user runtime, linked from the notice.
extern const wchar_t kDirectXRuntimePage[];

// Whether the shadow movie's effect can be made: D3DX9_42.DLL loads (tried first, and kept), or
// else adapter 0 can make the effect's own shaders.
bool ShadowEffectAvailable();

// Nothing when the effect is available; otherwise four lines in the link control's markup, the
// last with the link to the download page.
std::wstring D3dxNoticeText(bool effectAvailable);
