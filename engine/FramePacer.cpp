#include "engine/FramePacer.h"
