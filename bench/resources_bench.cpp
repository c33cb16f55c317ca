#include <benchmark/benchmark.h>

#include "shell/client.h"
#include "shell/resources/embedded.h"
#include "shell/resources/image_resource.h"

namespace {

// A tile's first load decodes its GIF; the wall and hands load dozens at a time.
void BM_DecodeTilePicture(benchmark::State& state) {
  auto bytes = slvn::ResourceBytes(345);
  if (!slvn::DecodePicture(bytes)) {
    state.SkipWithError("tile picture 345 does not decode");
    return;
  }
  for (auto _ : state) benchmark::DoNotOptimize(slvn::DecodePicture(bytes));
}
BENCHMARK(BM_DecodeTilePicture);

struct Target {
  slvn::Picture picture;
  void SetPicture(slvn::Picture p) { picture = std::move(p); }
};

// Every later load of the same number comes from the client's cache.
void BM_LoadGifResourceCached(benchmark::State& state) {
  slvn::Client client;
  Target target;
  if (slvn::LoadGifResource(client, 345, "GIF", target) != 1) {
    state.SkipWithError("tile picture 345 does not load");
    return;
  }
  for (auto _ : state) benchmark::DoNotOptimize(slvn::LoadGifResource(client, 345, "GIF", target));
}
BENCHMARK(BM_LoadGifResourceCached);

}  // namespace
