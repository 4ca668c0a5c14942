#include "tools/framepack/demo/Canvas.h"

#include <algorithm>
#include <cmath>

Canvas::Canvas(int width, int height, float edge)
    : width_(width), height_(height), edge_(edge), coverage_(size_t(width) * height, 0) {}

template <class Distance>
void Canvas::Fill(float left, float top, float right, float bottom, bool erase, Distance distance) {
  const float margin = edge_;
  const int x0 = std::max(0, int(std::floor(left - margin)));
  const int y0 = std::max(0, int(std::floor(top - margin)));
  const int x1 = std::min(width_ - 1, int(std::ceil(right + margin)));
  const int y1 = std::min(height_ - 1, int(std::ceil(bottom + margin)));
  const float ramp = 1.0f / edge_;
  for (int y = y0; y <= y1; ++y) {
    uint8_t* row = &coverage_[size_t(y) * width_];
    for (int x = x0; x <= x1; ++x) {
      const float d = distance(Vec2{x + 0.5f, y + 0.5f});
      const float c = std::clamp(0.5f - d * ramp, 0.0f, 1.0f);
      const auto value = static_cast<uint8_t>(c * 255.0f + 0.5f);
      row[x] = erase ? std::min<uint8_t>(row[x], 255 - value) : std::max(row[x], value);
    }
  }
}

void Canvas::Capsule(Vec2 a, Vec2 b, float ra, float rb) {
  const Vec2 ab = b - a;
  const float length2 = std::max(Dot(ab, ab), 1e-6f);
  const float r = std::max(ra, rb);
  Fill(std::min(a.x, b.x) - r, std::min(a.y, b.y) - r, std::max(a.x, b.x) + r, std::max(a.y, b.y) + r, false,
       [&](Vec2 p) {
         const Vec2 ap = p - a;
         const float h = std::clamp(Dot(ap, ab) / length2, 0.0f, 1.0f);
         const Vec2 off = ap - ab * h;
         return std::sqrt(Dot(off, off)) - (ra + (rb - ra) * h);
       });
}

void Canvas::Ellipse(Vec2 centre, float rx, float ry, float angle) {
  const float c = std::cos(angle), s = std::sin(angle);
  const float r = std::max(rx, ry);
  Fill(centre.x - r, centre.y - r, centre.x + r, centre.y + r, false, [&](Vec2 p) {
    const Vec2 d = p - centre;
    const Vec2 local{(d.x * c + d.y * s) / rx, (-d.x * s + d.y * c) / ry};
    const float k0 = std::sqrt(Dot(local, local));
    const Vec2 scaled{local.x / rx, local.y / ry};
    const float k1 = std::sqrt(Dot(scaled, scaled));
    return k1 > 1e-6f ? k0 * (k0 - 1.0f) / k1 : -std::min(rx, ry);
  });
}

void Canvas::EraseCircle(Vec2 centre, float radius) {
  Fill(centre.x - radius, centre.y - radius, centre.x + radius, centre.y + radius, true, [&](Vec2 p) {
    const Vec2 d = p - centre;
    return std::sqrt(Dot(d, d)) - radius;
  });
}

void Canvas::Polygon(const std::vector<Vec2>& points, bool erase) {
  float left = points[0].x, right = left, top = points[0].y, bottom = top;
  for (Vec2 p : points) {
    left = std::min(left, p.x), right = std::max(right, p.x);
    top = std::min(top, p.y), bottom = std::max(bottom, p.y);
  }
  const size_t n = points.size();
  Fill(left, top, right, bottom, erase, [&](Vec2 p) {
    // Distance to the nearest edge, negative inside (winding by crossings).
    float best = Dot(p - points[0], p - points[0]);
    bool inside = false;
    for (size_t i = 0, j = n - 1; i < n; j = i++) {
      const Vec2 e = points[j] - points[i];
      const Vec2 w = p - points[i];
      const float h = std::clamp(Dot(w, e) / std::max(Dot(e, e), 1e-6f), 0.0f, 1.0f);
      const Vec2 off = w - e * h;
      best = std::min(best, Dot(off, off));
      const bool up = p.y >= points[i].y, down = p.y < points[j].y;
      const bool cross = e.x * w.y > e.y * w.x;
      if ((up && down && cross) || (!up && !down && !cross)) inside = !inside;
    }
    return inside ? -std::sqrt(best) : std::sqrt(best);
  });
}

void Canvas::Clear() { std::fill(coverage_.begin(), coverage_.end(), uint8_t{0}); }

void Canvas::UnionWith(const Canvas& other) {
  for (size_t i = 0; i < coverage_.size(); ++i) coverage_[i] = std::max(coverage_[i], other.coverage_[i]);
}

void Canvas::WriteGrey(uint8_t* pixels) const {
  for (size_t i = 0; i < coverage_.size(); ++i) pixels[i] = static_cast<uint8_t>(255 - coverage_[i]);
}
