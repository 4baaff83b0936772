// What the benches measure, said once: the wall time of a piece of work, and
// the processor time and peak memory of the process so far (getrusage).

#ifndef ERILAISETRIVIT_BENCH_MEASURE_H_
#define ERILAISETRIVIT_BENCH_MEASURE_H_

#include <sys/resource.h>

#include <chrono>

namespace bench {

template <typename Work>
double seconds(Work work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

inline rusage usage_now() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage;
}

inline double cpu_seconds(const rusage& usage) {
  const auto seconds_of = [](const timeval& t) {
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
  };
  return seconds_of(usage.ru_utime) + seconds_of(usage.ru_stime);
}

}  // namespace bench

#endif  // ERILAISETRIVIT_BENCH_MEASURE_H_
