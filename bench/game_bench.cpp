// Rules throughput: a scripted player runs games back to back for a fixed number of ticks.
// Also counts heap allocations from the first NewGame to the end, which must stay at zero.
#include <benchmark/benchmark.h>

#include "tests/host/game/alloc_counter.h"
#include "tests/host/game/scripted_game.h"

namespace {

constexpr int kTicksPerRun = 100000;

void BM_ScriptedPlay(benchmark::State& state) {
  ScriptedGame game;  // builds the piece set; not part of play
  const uint64_t before = AllocationCount();
  for (auto _ : state) {
    game.NewGame(0);
    for (int tick = 0; tick < kTicksPerRun; ++tick) game.Step();
    benchmark::DoNotOptimize(game.Score());
  }
  const uint64_t allocations = AllocationCount() - before;

  const double runs = static_cast<double>(state.iterations());
  state.counters["ticks_per_second"] =
      benchmark::Counter(runs * kTicksPerRun, benchmark::Counter::kIsRate);
  state.counters["allocations"] = static_cast<double>(allocations);
  state.counters["games_per_run"] = static_cast<double>(game.tally.games) / runs;
  state.counters["rows_per_run"] = static_cast<double>(game.tally.rows) / runs;
  if (allocations != 0) state.SkipWithError("the game allocated while running");
}
BENCHMARK(BM_ScriptedPlay)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
