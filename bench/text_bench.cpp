#include <benchmark/benchmark.h>

#include "platform/text.h"

namespace {

// Chat lines and names pass through the code-page conversion on every packet.
void BM_Gb2312ToUtf8ChatLine(benchmark::State& state) {
  const std::string line = slvn::Utf8ToGb2312("玩家一：请点击【继续】按钮继续游戏！abc 123");
  if (slvn::Gb2312ToUtf8(line).empty()) {
    state.SkipWithError("the line does not convert");
    return;
  }
  for (auto _ : state) benchmark::DoNotOptimize(slvn::Gb2312ToUtf8(line));
}
BENCHMARK(BM_Gb2312ToUtf8ChatLine);

}  // namespace
