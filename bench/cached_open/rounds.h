// Timing the rounds of a benchmark: how long a call takes, and the median of the rounds.
#pragma once

#include <time.h>

#include <algorithm>
#include <chrono>
#include <vector>

inline double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  const std::size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// Seconds `f` takes.
template <typename F>
double Seconds(F&& f) {
  const auto start = std::chrono::steady_clock::now();
  f();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The time `f` takes, on the clock and in processor time of this process (which other programs on
// a busy machine do not inflate).
struct Timing {
  double seconds = 0;
  double cpuSeconds = 0;
};
template <typename F>
Timing Measure(F&& f) {
  const auto cpu = [] {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
  };
  const double cpuStart = cpu();
  Timing t;
  t.seconds = Seconds(f);
  t.cpuSeconds = cpu() - cpuStart;
  return t;
}
