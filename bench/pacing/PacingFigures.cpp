#include "bench/pacing/PacingFigures.h"

#include <algorithm>
#include <cmath>
#include <limits>

double Percentile(std::vector<double> values, double fraction) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const size_t index = static_cast<size_t>(std::ceil(fraction * static_cast<double>(values.size()))) - 1;
  return values[std::min(index, values.size() - 1)];
}

PacingFigures ComputePacingFigures(const std::vector<PacingRun>& runs, int64_t frequency, int64_t period) {
  PacingFigures figures;
  std::vector<double> errorsMs;
  const double msPerCount = 1000.0 / static_cast<double>(frequency);
  for (const PacingRun& run : runs) {
    if (run.stamps.empty()) continue;
    ++figures.runs;
    const PublishStamp& first = run.stamps.front();
    // The run's grid, placed where its least late publish says: every error is lateness (>= 0).
    int64_t grid = std::numeric_limits<int64_t>::max();
    for (const PublishStamp& s : run.stamps) {
      grid = std::min(grid, s.counter - int64_t{s.frame - first.frame} * period);
    }
    std::vector<double> runErrorsMs;
    for (size_t i = 0; i < run.stamps.size(); ++i) {
      const PublishStamp& s = run.stamps[i];
      runErrorsMs.push_back(static_cast<double>(s.counter - grid - int64_t{s.frame - first.frame} * period) *
                            msPerCount);
      if (i > 0) figures.skippedFrames += s.frame - run.stamps[i - 1].frame - 1;
    }
    // Drift: where the last second's publishes sit on the grid against the first second's (medians,
    // so that one late wake-up at either end does not pass for drift).
    const size_t edge = std::min<size_t>(30, runErrorsMs.size());
    const double early = Percentile({runErrorsMs.begin(), runErrorsMs.begin() + edge}, 0.5);
    const double late = Percentile({runErrorsMs.end() - edge, runErrorsMs.end()}, 0.5);
    const double drift = (late - early) / (static_cast<double>(period) * msPerCount);
    if (std::fabs(drift) > std::fabs(figures.worstDriftPeriods)) figures.worstDriftPeriods = drift;
    errorsMs.insert(errorsMs.end(), runErrorsMs.begin(), runErrorsMs.end());
    figures.frames += run.stamps.size();
  }
  figures.medianErrorMs = Percentile(errorsMs, 0.5);
  figures.p99ErrorMs = Percentile(errorsMs, 0.99);
  figures.maxErrorMs = errorsMs.empty() ? 0 : *std::max_element(errorsMs.begin(), errorsMs.end());
  return figures;
}
