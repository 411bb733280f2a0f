// Benchmark figures: each compares the module's way of doing a job with a
// plain baseline doing the same work, in the same run, as a ratio.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace mardonel {

struct BenchFigure {
  std::string name;
  std::string target;  // e.g. "at most 1.3"
  std::function<double()> measureRatio;
};

std::vector<BenchFigure>& BenchFigures();

struct BenchRegistrar {
  explicit BenchRegistrar(BenchFigure figure) { BenchFigures().push_back(std::move(figure)); }
};

// Seconds taken by `job`, the best of `rounds` runs.
double BestSeconds(int rounds, const std::function<void()>& job);

// The middle of `values` (the upper one of an even count); not empty.
double Median(std::vector<double> values);

// The median over `rounds` of each round's ratio of `ours` to `plain`, both
// timed in the round after `reset`, in turns first: a load that slows one
// side of one round does not set the figure.
double MedianPairedRatio(int rounds, const std::function<void()>& reset, const std::function<void()>& ours,
                         const std::function<void()>& plain);

}  // namespace mardonel
