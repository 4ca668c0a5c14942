#include "media/ShadowGraphProvider.h"
