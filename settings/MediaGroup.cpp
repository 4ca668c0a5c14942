#include "settings/MediaGroup.h"

#include "resources/resource.h"

namespace {
int backgroundSelection = -1;
int shadowMovieSelection = -1;
wchar_t backgroundBrowseBuffer[kBrowseBufferUnits];
wchar_t shadowMovieBrowseBuffer[kBrowseBufferUnits];
}  // namespace

const MediaGroup kBackgroundMedia{IDC_BGM_ENABLED,
                                  IDC_BGM_PATH,
                                  IDC_BGM_BROWSE,
                                  IDC_BGM_VOLUME_LABEL,
                                  IDC_BGM_VOLUME_VALUE,
                                  IDC_BGM_VOLUME,
                                  IDC_BGM_PLAY,
                                  IDC_BGM_STOP,
                                  &UmbraneConfig::bgmEnabled,
                                  &UmbraneConfig::bgmPath,
                                  &UmbraneConfig::recent,
                                  &UmbraneConfig::bgmVolume,
                                  &UmbraneConfig::SetBgmPath,
                                  false,
                                  &backgroundSelection,
                                  &backgroundBrowseBuffer};

const MediaGroup kShadowMovie{IDC_SHADOW_MOVIE_ENABLED,
                              IDC_SHADOW_MOVIE_PATH,
                              IDC_SHADOW_MOVIE_BROWSE,
                              IDC_SHADOW_MOVIE_VOLUME_LABEL,
                              IDC_SHADOW_MOVIE_VOLUME_VALUE,
                              IDC_SHADOW_MOVIE_VOLUME,
                              IDC_SHADOW_MOVIE_PLAY,
                              IDC_SHADOW_MOVIE_STOP,
                              &UmbraneConfig::shadowMovieEnabled,
                              &UmbraneConfig::shadowMoviePath,
                              &UmbraneConfig::shadowMovieRecent,
                              &UmbraneConfig::shadowMovieVolume,
                              &UmbraneConfig::SetShadowMoviePath,
                              true,
                              &shadowMovieSelection,
                              &shadowMovieBrowseBuffer};
