// Time per packet of the service-callback path, for movement alone, with
// acceleration, and with button and gesture activity.
#include <benchmark/benchmark.h>

#include "pipeline_workloads.h"

namespace {

void RunWorkload(benchmark::State& state, workload::Kind kind)
{
    workload::Workload w(kind);
    for (auto _ : state) {
        w.Run();
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * workload::BATCH);
}

void BM_Movement(benchmark::State& state) { RunWorkload(state, workload::MOVEMENT); }
void BM_Acceleration(benchmark::State& state) { RunWorkload(state, workload::ACCELERATION); }
void BM_ButtonsAndGesture(benchmark::State& state) { RunWorkload(state, workload::BUTTONS); }

}  // namespace

BENCHMARK(BM_Movement);
BENCHMARK(BM_Acceleration);
BENCHMARK(BM_ButtonsAndGesture);
BENCHMARK_MAIN();
