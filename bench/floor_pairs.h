// A paced walk or listing timed against the floor of its pauses alone: one
// pair per benchmark iteration, the two taking turns to go first, because
// this machine's sleeps overshoot more or less from one second to the next.
// Reports the median ratio of the pairs (floor_ratio, 1.0 = the floor), the
// lowest and highest, and each side's mean milliseconds.
#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <utility>
#include <vector>

#include "frame/pause.h"
#include "in_turns.h"

namespace txads_bench {

// Milliseconds that `work` takes.
template <class Work>
double milliseconds_of(Work&& work) {
  const auto start = std::chrono::steady_clock::now();
  std::forward<Work>(work)();
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
      .count();
}

// Milliseconds that `count` pauses of 1 ms take together, alone.
inline double pauses_ms(int count) {
  return milliseconds_of([count] {
    txads::PreciseTimers precise;
    for (int i = 0; i < count; ++i) txads::pause_one_millisecond();
  });
}

class FloorPairs {
 public:
  // One pair: the paced work and its `pauses` alone.
  template <class Work>
  void time(Work&& paced, int pauses) {
    const auto [work, floor] = in_turns(
        ratios_.size() % 2 == 0, [&] { return milliseconds_of(paced); },
        [pauses] { return pauses_ms(pauses); });
    ratios_.push_back(work / floor);
    work_ms_ += work;
    floor_ms_ += floor;
  }

  // `work_name`: the counter of the paced work's mean milliseconds.
  void report(benchmark::State& state, const std::string& work_name) {
    if (ratios_.empty()) return;
    std::sort(ratios_.begin(), ratios_.end());
    const double pairs = static_cast<double>(ratios_.size());
    state.counters[work_name] = work_ms_ / pairs;
    state.counters["pauses_ms"] = floor_ms_ / pairs;
    state.counters["floor_ratio"] = ratios_[ratios_.size() / 2];
    state.counters["floor_ratio_low"] = ratios_.front();
    state.counters["floor_ratio_high"] = ratios_.back();
  }

 private:
  std::vector<double> ratios_;
  double work_ms_ = 0, floor_ms_ = 0;
};

}  // namespace txads_bench
