#pragma once
// The media benchmarks; each prints its figures and returns a process exit code.
#include <string>

// Opens `count` files one after another on one audio-only graph (WAV, MP3, MP4, a bad file in
// turn), playing each a moment, and compares the process's handles and private bytes before and
// after.
int BenchOpeningFiles(int count);

// Plays the animation with `video` as its background for `seconds` in a real window: frames the
// grabber delivered against the video frames the playback thread drew, its processor time per
// second, and the allocations on the per-frame path.
int BenchVideoBackground(const std::wstring& video, double seconds);

// Plays `movie` as the shadow movie over a 1280x1024 window for `seconds`: frames the grabber
// delivered against the movie frames drawn, the playback thread's processor time per second and
// per frame. With `effect` ("d3dx", "shaders") the run fails unless the movie's effect was made
// that way.
int BenchShadowMovie(const std::wstring& movie, double seconds, const std::string& effect);

// The VMR-7 grabber's copy of one 640x480 32-bit frame (locked surface, staging surface,
// texture), timed over `copies` copies on the real device.
int BenchVmr7Copy(int copies);
