#pragma once
// Figures of one pacing run from the moment of every publish: lateness against the ideal grid,
// drift, skipped frames. Portable arithmetic on counter stamps.
#include <cstdint>
#include <vector>

struct PublishStamp {
  int64_t counter;  // performance counter when the frame-ready event was seen
  int32_t frame;
};

// One stretch of publishing between two resumes of the producer: its clock runs on one grid.
struct PacingRun {
  std::vector<PublishStamp> stamps;
};

struct PacingFigures {
  size_t frames = 0;
  size_t runs = 0;
  double medianErrorMs = 0, p99ErrorMs = 0, maxErrorMs = 0;
  double worstDriftPeriods = 0;  // a run's last second against its first on the grid; signed, worst run
  int64_t skippedFrames = 0;
};

// The value below which the given fraction of values lies (0.5: the median); 0 for no values.
double Percentile(std::vector<double> values, double fraction);

// frequency: counts per second; period: counts per frame (frequency / 30).
PacingFigures ComputePacingFigures(const std::vector<PacingRun>& runs, int64_t frequency, int64_t period);
