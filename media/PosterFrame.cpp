#include "media/PosterFrame.h"

bool operator==(const PosterFrame& a, const PosterFrame& b) {
  if (a.owner != b.owner || a.time != b.time) return false;
  if (!a.texture || !b.texture) return false;
  return a.texture->SameDescription(*b.texture);
}
