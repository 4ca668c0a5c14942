#include "media/PosterFrame.h"

bool operator==(const PosterFrame& a, const PosterFrame& b) {
  if (a.owner != b.owner || a.time != b.time) return false;
  if (!a.texture || !b.texture) return false;
  return a.texture->SameDescription(*b.texture);
}

bool CopyPosterInto(const PosterFrame* poster, PosterFrame& frame) {
  if (!poster || !poster->texture) return false;
  if (frame == *poster) return true;  // the render thread holds this frame already
  frame.owner = poster->owner;
  frame.time = poster->time;
  if (frame.texture) {
    frame.texture->CopyTexture(*poster->texture);
  } else {
    frame.texture = QuadTexture::CloneTexture(*poster->texture);
  }
  return true;
}
