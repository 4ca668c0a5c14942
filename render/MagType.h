#pragma once
#include <cstdint>

// How the silhouette picture is magnified onto the monitors. Stored in the settings file as its
// integer value; a value outside this list is kept as read (the layout decides what it means).
// Unscoped, so that it converts to the integer the layout code works with.
enum MagType : int32_t {
  ActualSize = 0,
  StretchMonitor = 1,
  FitMonitor = 2,
  FillMonitor = 3,  // the default
  FillDesktop = 4,
  FitDesktop = 5,
};
