// Background-media benchmarks under Wine.
//   media_bench.exe --opens N           one audio graph opening N files in turn
//   media_bench.exe --video FILE [--seconds S]   the engine with a background video
//   media_bench.exe --shadow FILE [--seconds S] [--effect d3dx|shaders]
//                                        the engine with a shadow movie (through that effect)
//   media_bench.exe --vmr7-copies N      N copies of a VMR-7 frame into a texture
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "bench/media/MediaBench.h"
#include "base/UmbraneAppBase.h"

namespace {
const char kUsage[] =
    "usage: media_bench.exe --opens N | --vmr7-copies N | --video|--shadow FILE [--seconds S] [--effect "
    "d3dx|shaders]\n";
}

int wmain(int argc, wchar_t** argv) {
  UmbraneAppBase process;
  int opens = 0;
  int vmr7Copies = 0;
  std::wstring video, shadow;
  std::string effect;
  double seconds = 20;
  for (int i = 1; i < argc; ++i) {
    const std::wstring arg = argv[i];
    if (arg == L"--opens" && i + 1 < argc) {
      opens = _wtoi(argv[++i]);
    } else if (arg == L"--video" && i + 1 < argc) {
      video = argv[++i];
    } else if (arg == L"--shadow" && i + 1 < argc) {
      shadow = argv[++i];
    } else if (arg == L"--effect" && i + 1 < argc) {
      const std::wstring way = argv[++i];
      effect.assign(way.begin(), way.end());
    } else if (arg == L"--vmr7-copies" && i + 1 < argc) {
      vmr7Copies = _wtoi(argv[++i]);
    } else if (arg == L"--seconds" && i + 1 < argc) {
      seconds = _wtof(argv[++i]);
    } else {
      std::fputs(kUsage, stderr);
      return 2;
    }
  }
  if (opens > 0) return BenchOpeningFiles(opens);
  if (vmr7Copies > 0) return BenchVmr7Copy(vmr7Copies);
  if (!shadow.empty() && seconds > 0) return BenchShadowMovie(shadow, seconds, effect);
  if (!video.empty() && seconds > 0) return BenchVideoBackground(video, seconds);
  std::fputs(kUsage, stderr);
  return 2;
}
