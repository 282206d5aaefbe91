// The main program of a benchmark whose data are made before the first
// timing: `prepare()`, then the benchmarks named on the command line.
#pragma once

#include <benchmark/benchmark.h>

template <typename Prepare>
int run_benchmarks(int argc, char** argv, Prepare prepare) {
  prepare();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
