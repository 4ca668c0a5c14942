#include "engine/WindowsFrameClock.h"
