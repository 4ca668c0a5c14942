// Per frame of the default animation (512 x 384): the bare zlib inflate of its record, Unpack in
// both modes, and Unpack followed by both conversions, as the frame producer does it. Each
// iteration takes the next frame, so the figures average over the whole animation.
#include <benchmark/benchmark.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "framedata/FrameFileFormat.h"
#include "framedata/ImageUnpacker.h"
#include "framedata/SilhouetteConversion.h"

namespace {
// The machine is shared: with --benchmark_repetitions the fastest run is the least disturbed.
double Fastest(const std::vector<double>& times) { return *std::min_element(times.begin(), times.end()); }

// The default animation, or another frame file given with --animation=PATH.
std::string& AnimationFile() {
  static std::string path = DEFAULT_ANIMATION;
  return path;
}

std::wstring AnimationPath() {
  const std::string& path = AnimationFile();
  return std::wstring(path.begin(), path.end());
}

// The records of the file, read independently of ImageUnpacker.
struct Records {
  FrameFileHeader header{};
  std::vector<FrameIndexEntry> index;
  std::vector<uint8_t> data;

  Records() {
    std::ifstream in(AnimationFile(), std::ios::binary);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::memcpy(&header, bytes.data(), sizeof header);
    index.resize(header.frameCount);
    std::memcpy(index.data(), bytes.data() + sizeof header, index.size() * sizeof(FrameIndexEntry));
    data.assign(bytes.begin() + FrameDataStart(header.frameCount), bytes.end());
  }
};

const Records& TheRecords() {
  static const Records records;
  return records;
}

void BareInflate(benchmark::State& state) {
  const Records& records = TheRecords();
  std::vector<uint8_t> out(size_t{records.header.width} * records.header.height);
  uint32_t frame = 0;
  for (auto _ : state) {
    const FrameIndexEntry& entry = records.index[frame];
    z_stream stream{};
    stream.next_in = const_cast<Bytef*>(records.data.data() + entry.offset);
    stream.avail_in = entry.size;
    stream.next_out = out.data();
    stream.avail_out = static_cast<uInt>(out.size());
    inflateInit(&stream);
    inflate(&stream, Z_FINISH);
    inflateEnd(&stream);
    benchmark::DoNotOptimize(out.data());
    frame = (frame + 1) % records.header.frameCount;
  }
}
BENCHMARK(BareInflate)->ComputeStatistics("min", Fastest);

void Unpack(benchmark::State& state) {
  ImageUnpacker unpacker;
  if (!unpacker.Open(AnimationPath(), state.range(0) != 0)) {
    state.SkipWithError("cannot open the default animation");
    return;
  }
  std::vector<uint8_t> frame;
  uint32_t n = 0;
  for (auto _ : state) {
    unpacker.Unpack(n, frame);
    benchmark::DoNotOptimize(frame.data());
    n = (n + 1) % unpacker.frameCount();
  }
}
BENCHMARK(Unpack)->ArgName("onDemand")->Arg(0)->Arg(1)->ComputeStatistics("min", Fastest);

void UnpackAndConvert(benchmark::State& state) {
  ImageUnpacker unpacker;
  if (!unpacker.Open(AnimationPath(), state.range(0) != 0)) {
    state.SkipWithError("cannot open the default animation");
    return;
  }
  // The staging surface is a power-of-two texture, as the renderer makes it.
  const size_t pitchTexels = 512;
  std::vector<uint32_t> surface(pitchTexels * 512);
  std::vector<uint8_t> frame, mask;
  const uint8_t opacity = OpacityByteFromPercent(80);
  const bool onePass = state.range(1) != 0;
  uint32_t n = 0;
  for (auto _ : state) {
    unpacker.Unpack(n, frame);
    if (onePass) {
      WriteSilhouetteTexelsAndMask(frame.data(), unpacker.width(), unpacker.height(), opacity, surface.data(),
                                   pitchTexels * sizeof(uint32_t), mask);
    } else {
      WriteSilhouetteTexels(frame.data(), unpacker.width(), unpacker.height(), opacity, surface.data(),
                            pitchTexels * sizeof(uint32_t));
      WriteMask(frame.data(), unpacker.width(), unpacker.height(), mask);
    }
    benchmark::DoNotOptimize(surface.data());
    benchmark::DoNotOptimize(mask.data());
    n = (n + 1) % unpacker.frameCount();
  }
}
BENCHMARK(UnpackAndConvert)
    ->ArgNames({"onDemand", "onePass"})
    ->ArgsProduct({{0, 1}, {0, 1}})
    ->ComputeStatistics("min", Fastest);

void ConversionsOnly(benchmark::State& state) {
  ImageUnpacker unpacker;
  unpacker.Open(AnimationPath(), false);
  std::vector<uint8_t> frame, mask;
  unpacker.Unpack(unpacker.frameCount() / 2, frame);
  std::vector<uint32_t> surface(512 * 512);
  for (auto _ : state) {
    WriteSilhouetteTexels(frame.data(), unpacker.width(), unpacker.height(), 204, surface.data(), 512 * 4);
    WriteMask(frame.data(), unpacker.width(), unpacker.height(), mask);
    benchmark::DoNotOptimize(surface.data());
    benchmark::DoNotOptimize(mask.data());
  }
}
BENCHMARK(ConversionsOnly)->ComputeStatistics("min", Fastest);

// For comparison: the same two conversions as a plain per-pixel loop with a division.
void PlainLoopConversions(benchmark::State& state) {
  ImageUnpacker unpacker;
  unpacker.Open(AnimationPath(), false);
  std::vector<uint8_t> frame, mask;
  unpacker.Unpack(unpacker.frameCount() / 2, frame);
  std::vector<uint32_t> surface(512 * 512);
  const uint32_t width = unpacker.width(), height = unpacker.height();
  volatile uint32_t opacityInput = 204;  // not a constant the compiler could fold into the loop
  for (auto _ : state) {
    const uint32_t opacity = opacityInput;
    for (uint32_t y = 0; y < height; ++y) {
      const uint8_t* source = frame.data() + size_t{height - 1 - y} * width;
      uint32_t* row = surface.data() + size_t{y} * 512;
      for (uint32_t x = 0; x < width; ++x) row[x] = ((255u - source[x]) * opacity / 255u) << 24;
    }
    mask.resize(frame.size());
    for (size_t i = 0; i < frame.size(); ++i) mask[i] = static_cast<uint8_t>(255 - frame[i]);
    benchmark::DoNotOptimize(surface.data());
    benchmark::DoNotOptimize(mask.data());
  }
}
BENCHMARK(PlainLoopConversions)->ComputeStatistics("min", Fastest);

// Resident memory that an opened file holds, in both modes (one frame decoded, so the on-demand
// scratch buffer holds a record). Reported once as a counter; the loop itself is trivial.
long ResidentKiB() {
  std::FILE* status = std::fopen("/proc/self/status", "r");
  long kib = -1;
  char line[256];
  while (status && std::fgets(line, sizeof line, status)) {
    if (std::sscanf(line, "VmRSS: %ld kB", &kib) == 1) break;
  }
  if (status) std::fclose(status);
  return kib;
}

// Measured in a fresh process (this program started again), so that memory the allocator kept
// from earlier benchmarks cannot hide the allocation.
constexpr char kMeasureOption[] = "--measure-held-memory=";

long MeasureHeldMemory(bool memoryCompact) {
  const long before = ResidentKiB();
  ImageUnpacker unpacker;
  unpacker.Open(AnimationPath(), memoryCompact);
  std::vector<uint8_t> frame;
  unpacker.Unpack(0, frame);
  frame = std::vector<uint8_t>();
  return ResidentKiB() - before;
}

long HeldByOpenedFile(bool memoryCompact) {
  const std::string command = std::string("/proc/") + std::to_string(getpid()) +
                              "/exe '--animation=" + AnimationFile() + "' " + kMeasureOption +
                              (memoryCompact ? "1" : "0");
  std::FILE* child = popen(command.c_str(), "r");
  long held = -1;
  if (child) {
    if (std::fscanf(child, "%ld", &held) != 1) held = -1;
    pclose(child);
  }
  return held;
}

void OpenedFileResidentMemory(benchmark::State& state) {
  const long held = HeldByOpenedFile(state.range(0) != 0);
  for (auto _ : state) benchmark::DoNotOptimize(held);
  state.counters["held_KiB"] = static_cast<double>(held);
}
BENCHMARK(OpenedFileResidentMemory)->ArgName("onDemand")->Arg(0)->Arg(1)->Iterations(1);
}  // namespace

int main(int argc, char** argv) {
  constexpr char kAnimationOption[] = "--animation=";
  int kept = 1;
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], kAnimationOption, sizeof kAnimationOption - 1) == 0) {
      AnimationFile() = argv[i] + sizeof kAnimationOption - 1;
    } else if (std::strncmp(argv[i], kMeasureOption, sizeof kMeasureOption - 1) == 0) {
      std::printf("%ld\n", MeasureHeldMemory(argv[i][sizeof kMeasureOption - 1] == '1'));
      return 0;
    } else {
      argv[kept++] = argv[i];
    }
  }
  argc = kept;
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
