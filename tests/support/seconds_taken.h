// How long a piece of work takes by the wall clock.
#pragma once

#include <chrono>
#include <functional>

namespace mardonel {

inline double SecondsTaken(const std::function<void()>& job) {
  const auto start = std::chrono::steady_clock::now();
  job();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace mardonel
