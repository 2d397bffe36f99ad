// The benchmarks run with the allocator set up as the velantrix program sets it.
#include <benchmark/benchmark.h>

#include "base/memory_tuning.h"

int main(int argc, char** argv) {
  vx::KeepFreedMemoryForReuse();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
