// framepack: makes and inspects the packed frame files (um.bin) the screen saver plays.
#include <cstdio>
#include <exception>
#include <map>
#include <new>
#include <string>
#include <vector>

#include "tools/framepack/Commands.h"
#include "tools/framepack/ToolError.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {
const char kUsage[] =
    "usage: framepack <command> ...\n"
    "  pack [INPUT...] -o FILE [--size WxH] [--levels LOW:HIGH] [--compression 1-9]\n"
    "       INPUT: grey PGM files or folders of them (in name order); without INPUT (or '-'),\n"
    "       raw 8-bit grey frames of --size on standard input, for example\n"
    "       ffmpeg -i any.mp4 -vf scale=512:384,format=gray -f rawvideo - | framepack pack --size 512x384 -o um.bin\n"
    "       PNG frames: convert '*.png' -colorspace Gray -depth 8 gray:- | framepack pack --size WxH -o um.bin\n"
    "  unpack FILE -o FOLDER [--first N] [--count N]   frames as PGM\n"
    "  info FILE                                       size, frames, duration, compression\n"
    "  verify FILE                                     checks every frame; non-zero status on the first bad one\n"
    "  demo -o FILE                                    writes the default animation\n";

int Run(const std::vector<std::string>& args) {
  static const std::map<std::string, int (*)(const std::vector<std::string>&)> commands = {
      {"pack", RunPack}, {"unpack", RunUnpack}, {"info", RunInfo}, {"verify", RunVerify}, {"demo", RunDemo}};
  if (args.empty() || args[0] == "-h" || args[0] == "--help" || args[0] == "help") {
    std::fputs(kUsage, args.empty() ? stderr : stdout);
    return args.empty() ? 2 : 0;
  }
  auto command = commands.find(args[0]);
  if (command == commands.end()) {
    std::fprintf(stderr, "framepack: unknown command '%s'\n%s", args[0].c_str(), kUsage);
    return 2;
  }
  try {
    return command->second(std::vector<std::string>(args.begin() + 1, args.end()));
  } catch (const ToolError& error) {
    std::fprintf(stderr, "framepack: %s\n", error.what());
  } catch (const std::bad_alloc&) {
    std::fprintf(stderr, "framepack: out of memory\n");
  } catch (const std::exception& error) {
    std::fprintf(stderr, "framepack: %s\n", error.what());
  }
  return 1;
}
}  // namespace

#ifdef _WIN32
int wmain(int argc, wchar_t** argv) {
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) {
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, argv[i], -1, nullptr, 0, nullptr, nullptr);
    std::string arg(bytes > 0 ? bytes - 1 : 0, '\0');
    if (bytes > 1) WideCharToMultiByte(CP_UTF8, 0, argv[i], -1, &arg[0], bytes, nullptr, nullptr);
    args.push_back(arg);
  }
  return Run(args);
}
#else
int main(int argc, char** argv) { return Run(std::vector<std::string>(argv + 1, argv + argc)); }
#endif
