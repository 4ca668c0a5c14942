#pragma once
// A rectangle comparison that says both rectangles when they differ.

#include "render/LayoutGeometry.h"

#include <gtest/gtest.h>

inline ::testing::AssertionResult SameRect(const PixelRect& actual, const PixelRect& expected) {
  if (actual.x == expected.x && actual.y == expected.y && actual.width == expected.width &&
      actual.height == expected.height) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure() << "(" << actual.x << ", " << actual.y << ", " << actual.width << ", "
                                       << actual.height << ") instead of (" << expected.x << ", " << expected.y
                                       << ", " << expected.width << ", " << expected.height << ")";
}
