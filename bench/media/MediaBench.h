#pragma once
// The two background-media benchmarks; each prints its figures and returns a process exit code.
#include <string>

// Opens `count` files one after another on one audio-only graph (WAV, MP3, MP4, a bad file in
// turn), playing each a moment, and compares the process's handles and private bytes before and
// after.
int BenchOpeningFiles(int count);

// Plays the animation with `video` as its background for `seconds` in a real window: frames the
// grabber delivered against the video frames the playback thread drew, its processor time per
// second, and the allocations on the per-frame path.
int BenchVideoBackground(const std::wstring& video, double seconds);
