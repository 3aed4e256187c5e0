// Reading a whole server list response into ServerEntry records, for lists of 1,000 and 10,000
// servers. The reader must stay linear: ten times the servers should cost about ten times the
// time, not a hundred.

#include <benchmark/benchmark.h>

#include <string>

#include "webapi/records.h"

namespace {

std::string ServerListResponse(int count) {
  static const char* const kLines[] = {"0", "1", "2"};
  std::string text = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<serverlist>\n";
  for (int i = 1; i <= count; ++i) {
    const std::string n = std::to_string(i);
    text += "<data id='" + std::to_string(10000 + i) + "' name='玄岚城" + kLines[i % 3] + "区[" + n +
            "服]' code='qrv_s" + n + "' type='" + kLines[i % 3] + "' state='" + std::to_string(i % 5) +
            "' open_date='2013-" + std::to_string(i % 12 + 1) + "-" + std::to_string(i % 28 + 1) +
            " 10:00:00' />\n";
  }
  return text + "</serverlist>\n";
}

void BM_DataElementList(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  const std::string response = ServerListResponse(count);
  for (auto _ : state) {
    std::vector<qrv::ServerEntry> servers = qrv::ReadServerList(response);
    if (servers.size() != static_cast<std::size_t>(count)) state.SkipWithError("wrong number of servers");
    benchmark::DoNotOptimize(servers.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(response.size()));
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * count);
}
BENCHMARK(BM_DataElementList)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
