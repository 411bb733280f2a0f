#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <utility>

#include "bench.h"

namespace mardonel {

std::vector<BenchFigure>& BenchFigures() {
  static std::vector<BenchFigure> figures;
  return figures;
}

double BestSeconds(int rounds, const std::function<void()>& job) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  double best = 1e300;
  for (int round = 0; round < rounds; ++round) {
    LARGE_INTEGER start;
    LARGE_INTEGER end;
    QueryPerformanceCounter(&start);
    job();
    QueryPerformanceCounter(&end);
    const double seconds = static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
    if (seconds < best) best = seconds;
  }
  return best;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

double MedianPairedRatio(int rounds, const std::function<void()>& reset, const std::function<void()>& ours,
                         const std::function<void()>& plain) {
  std::vector<double> ratios;
  for (int round = 0; round < rounds; ++round) {
    double oursSeconds = 0;
    double plainSeconds = 0;
    for (int turn = 0; turn < 2; ++turn) {
      reset();
      if ((round + turn) % 2 == 0) {
        oursSeconds = BestSeconds(1, ours);
      } else {
        plainSeconds = BestSeconds(1, plain);
      }
    }
    ratios.push_back(oursSeconds / plainSeconds);
  }
  return Median(std::move(ratios));
}

// Usage: mardonel-bench [NAME-FILTER]
int Main(int argc, char** argv) {
  const char* filter = argc > 1 ? argv[1] : "";
  for (const BenchFigure& figure : BenchFigures()) {
    if (std::strstr(figure.name.c_str(), filter) == nullptr) continue;
    const double ratio = figure.measureRatio();
    std::printf("%-60s ratio %6.2f  (target: %s)\n", figure.name.c_str(), ratio, figure.target.c_str());
    std::fflush(stdout);
  }
  return 0;
}

}  // namespace mardonel

int main(int argc, char** argv) { return mardonel::Main(argc, argv); }
