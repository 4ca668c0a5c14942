#pragma once
// A coverage canvas for anti-aliased silhouettes. Shapes are described by signed distance (negative
// inside); a pixel's coverage ramps from full to none across `edge` pixels around the outline, so
// every edge gets the soft grey of a shadow thrown on paper. Shapes join by union; erasing cuts
// holes (a crescent, a lantern window).
#include <cstdint>
#include <vector>

struct Vec2 {
  float x, y;
};
inline Vec2 operator+(Vec2 a, Vec2 b) { return {a.x + b.x, a.y + b.y}; }
inline Vec2 operator-(Vec2 a, Vec2 b) { return {a.x - b.x, a.y - b.y}; }
inline Vec2 operator*(Vec2 a, float s) { return {a.x * s, a.y * s}; }
inline float Dot(Vec2 a, Vec2 b) { return a.x * b.x + a.y * b.y; }

class Canvas {
 public:
  Canvas(int width, int height, float edge);

  int width() const { return width_; }
  int height() const { return height_; }

  void CopyFrom(const Canvas& other) { coverage_ = other.coverage_; }
  void Clear();
  // Adds another canvas of the same size (union of the shapes).
  void UnionWith(const Canvas& other);

  // A segment from a to b whose radius runs from ra to rb: limbs, trunks, blades of grass.
  void Capsule(Vec2 a, Vec2 b, float ra, float rb);
  void Circle(Vec2 centre, float radius) { Capsule(centre, centre, radius, radius); }
  void Ellipse(Vec2 centre, float rx, float ry, float angle);
  void Polygon(const std::vector<Vec2>& points, bool erase = false);
  void EraseCircle(Vec2 centre, float radius);

  // Grey picture, top row first: 255 - coverage.
  void WriteGrey(uint8_t* pixels) const;

 private:
  template <class Distance>
  void Fill(float left, float top, float right, float bottom, bool erase, Distance distance);

  int width_;
  int height_;
  float edge_;
  std::vector<uint8_t> coverage_;
};
