// Filling the agent list (the tree list of "gm_button") with 1,000 and 10,000 agents: both
// groups, agents of every state, each fill starting from the rows of the fill before, as when
// the list is shown again. Filling must stay linear: ten times the agents should cost about ten
// times the time, not a hundred.

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "lists/agent_rows.h"
#include "lists/game_list.h"

namespace {

std::vector<qrv::ListedAgent> Agents(int count) {
  std::vector<qrv::ListedAgent> agents;
  agents.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    agents.push_back(qrv::ListedAgent{static_cast<std::uint64_t>(10000 + i), "客服" + std::to_string(i),
                                      i % 4, i % 3 == 0 ? 1 : 0});
  }
  return agents;
}

void BM_FillAgentList(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  const std::vector<qrv::ListedAgent> agents = Agents(count);
  qrv::CGameListUI list;
  for (auto _ : state) {
    const std::vector<qrv::ListedAgent> rows = qrv::FillAgentList(list, agents);
    if (rows.size() != agents.size() || list.GetCount() != count + 2) state.SkipWithError("rows are missing");
    benchmark::DoNotOptimize(rows.data());
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * count);
}
BENCHMARK(BM_FillAgentList)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
