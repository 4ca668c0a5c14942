#pragma once
#include <stdexcept>
#include <string>

// Bad input or a failed file operation: main prints the message on one line and exits non-zero.
struct ToolError : std::runtime_error {
  using std::runtime_error::runtime_error;
};
