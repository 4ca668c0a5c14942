#pragma once
// The frame clock's counter on Windows: the performance counter, its frequency read once per
// process, and Sleep (accurate to a millisecond while the engine holds the 1 ms timer resolution).
#include "base/FramePacer.h"

FrameClock& WindowsFrameClock();
