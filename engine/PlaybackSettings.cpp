#include "engine/PlaybackSettings.h"

#include "framedata/ImageUnpacker.h"
#include "settings/UmbraneConfig.h"

RenderSettings RenderSettingsOf(const UmbraneConfig& config, bool preview) {
  RenderSettings settings;
  settings.foregroundAlpha = config.foregroundAlpha;
  settings.backgroundAlpha = config.backgroundAlpha;
  settings.frameEnabled = config.frameEnabled;
  settings.confineBgFilterToShadowGraph = config.confineBgFilterToShadowGraph;
  settings.magType = config.MagType;
  settings.preview = preview;
  return settings;
}

PixelSize SilhouetteSizeOf(const ImageUnpacker& frames) {
  return {static_cast<int32_t>(frames.width()), static_cast<int32_t>(frames.height())};
}
