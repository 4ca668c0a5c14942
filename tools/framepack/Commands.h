#pragma once
#include <string>
#include <vector>

// Each sub-command takes the arguments after its name and returns the process exit status; bad
// input is thrown as ToolError.
int RunPack(const std::vector<std::string>& args);
int RunUnpack(const std::vector<std::string>& args);
int RunInfo(const std::vector<std::string>& args);
int RunVerify(const std::vector<std::string>& args);
int RunDemo(const std::vector<std::string>& args);
