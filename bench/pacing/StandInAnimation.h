#pragma once
// A frame file comparable to the default animation (512x384, silhouettes that move) for when the
// build has not written um.bin.
#include <string>

bool WriteStandInAnimation(const std::wstring& path);
