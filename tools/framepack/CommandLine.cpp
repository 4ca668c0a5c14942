#include <cstdint>

#include "tools/framepack/CommandLine.h"
#include "tools/framepack/ToolError.h"

std::string CommandLine::Get(const std::string& name, const std::string& fallback) const {
  auto found = options.find(name);
  return found == options.end() ? fallback : found->second;
}

CommandLine ParseCommandLine(const std::vector<std::string>& args, const std::set<std::string>& options,
                             const std::map<std::string, std::string>& aliases) {
  CommandLine line;
  for (size_t i = 0; i < args.size(); ++i) {
    std::string arg = args[i];
    if (arg.size() < 2 || arg[0] != '-') {
      line.positional.push_back(arg);
      continue;
    }
    std::string value;
    bool hasValue = false;
    const size_t equals = arg.find('=');
    if (arg.rfind("--", 0) == 0 && equals != std::string::npos) {
      value = arg.substr(equals + 1);
      arg = arg.substr(0, equals);
      hasValue = true;
    }
    auto alias = aliases.find(arg);
    if (alias != aliases.end()) arg = alias->second;
    if (options.count(arg) == 0) throw ToolError("unknown option " + arg);
    if (!hasValue) {
      if (i + 1 >= args.size()) throw ToolError("option " + arg + " needs a value");
      value = args[++i];
    }
    line.options[arg] = value;
  }
  return line;
}

uint32_t ParseCount(const std::string& text, const std::string& what) {
  if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos) {
    throw ToolError("bad " + what + " '" + text + "'");
  }
  return static_cast<uint32_t>(std::stoul(text));
}

void ParseSize(const std::string& text, uint32_t& width, uint32_t& height) {
  const size_t x = text.find('x');
  if (x == std::string::npos) throw ToolError("bad size '" + text + "' (expected WIDTHxHEIGHT)");
  width = ParseCount(text.substr(0, x), "width");
  height = ParseCount(text.substr(x + 1), "height");
  if (width == 0 || height == 0 || width > 16384 || height > 16384) {
    throw ToolError("size '" + text + "' out of range (1 to 16384 per side)");
  }
}
