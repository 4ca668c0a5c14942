#pragma once
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

// Arguments of one sub-command: positional arguments and --options (each option takes a value).
struct CommandLine {
  std::vector<std::string> positional;
  std::map<std::string, std::string> options;

  bool Has(const std::string& name) const { return options.count(name) != 0; }
  std::string Get(const std::string& name, const std::string& fallback = "") const;
};

// `aliases` maps short names ("-o") to long ones ("--output"). Unknown options are a ToolError.
CommandLine ParseCommandLine(const std::vector<std::string>& args, const std::set<std::string>& options,
                             const std::map<std::string, std::string>& aliases = {});

// "512x384"
void ParseSize(const std::string& text, uint32_t& width, uint32_t& height);
uint32_t ParseCount(const std::string& text, const std::string& what);
