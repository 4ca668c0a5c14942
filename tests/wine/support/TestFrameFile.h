#pragma once
// Frame files written by the tests: every frame one flat grey, chosen per frame.
#include <cstdint>
#include <functional>
#include <string>

// The folder of the running test program, with its trailing backslash: where the engine looks for
// its data file.
std::wstring ProgramFolder();

bool WriteTestFrameFile(const std::wstring& path, uint32_t width, uint32_t height, uint32_t frames,
                        const std::function<uint8_t(uint32_t frame)>& greyOf);
