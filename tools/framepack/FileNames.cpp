#include "tools/framepack/FileNames.h"

#include <cstdio>
#include <fstream>

#include "tools/framepack/ToolError.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

std::filesystem::path PathFromUtf8(const std::string& name) { return std::filesystem::u8path(name); }

std::string Utf8FromPath(const std::filesystem::path& path) { return path.u8string(); }

std::vector<uint8_t> ReadWholeFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw ToolError("cannot open " + Utf8FromPath(path));
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) throw ToolError("cannot read " + Utf8FromPath(path));
  return bytes;
}

void WriteWholeFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (out) out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (out && out.flush()) return;
  }
  std::error_code ignored;
  std::filesystem::remove(path, ignored);  // no half-written file left behind
  throw ToolError("cannot write " + Utf8FromPath(path));
}

size_t ReadStandardInput(uint8_t* buffer, size_t bytes) {
#ifdef _WIN32
  static const bool binary = (_setmode(_fileno(stdin), _O_BINARY), true);
  (void)binary;
#endif
  return std::fread(buffer, 1, bytes, stdin);
}
