#pragma once
// What the playback loops hand their renderer from the engine's settings and frame file.
#include "render/LayoutGeometry.h"
#include "render/ShadowScene.h"

class ImageUnpacker;
class UmbraneConfig;

RenderSettings RenderSettingsOf(const UmbraneConfig& config, bool preview);
// The packed frames' own size: the scene texture's and the picture's before magnification.
PixelSize SilhouetteSizeOf(const ImageUnpacker& frames);
