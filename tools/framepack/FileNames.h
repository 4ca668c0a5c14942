#pragma once
// Files named in UTF-8 on every system (the Windows entry point converts its wide arguments).
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

std::filesystem::path PathFromUtf8(const std::string& name);
std::string Utf8FromPath(const std::filesystem::path& path);

std::vector<uint8_t> ReadWholeFile(const std::filesystem::path& path);
void WriteWholeFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes);

// Reads up to `bytes` from standard input (binary); returns how many arrived.
size_t ReadStandardInput(uint8_t* buffer, size_t bytes);
