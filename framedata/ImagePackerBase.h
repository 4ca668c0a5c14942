#pragma once

// Common base of the frame file classes; the program itself only ever holds the reading side.
class ImagePackerBase {
 public:
  ImagePackerBase() = default;
  virtual ~ImagePackerBase() = default;
  ImagePackerBase(const ImagePackerBase&) = delete;
  ImagePackerBase& operator=(const ImagePackerBase&) = delete;
};
