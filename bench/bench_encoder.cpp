// The encoder on photo-like pictures (the corpus's scenes before reduction,
// a face, a clear sky, foliage, a smooth gradient, text), with default
// options. Time per picture, with the same picture encoded with one table
// and no line changes as the baseline in the same run; and as counters the
// mean ΔE of what the file shows, plain (plain_dE) and as seen at viewing
// distance (seen_dE), with line changes and without (*_one_table), and
// what the changes take off the seen error (seen_gain_pct).
#include "encoder/screen_encoder.h"
#include "full_colour_pictures.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

void BM_encode(benchmark::State& state) {
  const full_colour::NamedPicture& which = full_colour::all_pictures()[static_cast<std::size_t>(state.range(0))];
  const bool changes = state.range(1) != 0;
  const RgbPicture picture = which.make();
  EncoderOptions options;
  options.line_changes = changes;
  EncodedScreen encoded;
  for (auto _ : state) {
    encoded = encode_screen(picture, options);
    benchmark::DoNotOptimize(encoded.file.data());
  }
  state.SetLabel(std::string(which.name) + (changes ? ", default" : ", one table"));
  state.counters["plain_dE"] = encoded.mean_error;
  state.counters["seen_dE"] = encoded.seen_error;
  state.counters["changes"] = encoded.changes;
  if (changes) {
    options.line_changes = false;
    const EncodedScreen without = encode_screen(picture, options);
    state.counters["plain_dE_one_table"] = without.mean_error;
    state.counters["seen_dE_one_table"] = without.seen_error;
    state.counters["seen_gain_pct"] = 100 * (1 - encoded.seen_error / without.seen_error);
  }
}

void all_pictures(benchmark::internal::Benchmark* b) {
  for (std::size_t i = 0; i < full_colour::all_pictures().size(); ++i)
    for (int changes : {0, 1}) b->Args({static_cast<long>(i), changes});
}
// An encode takes tens of milliseconds: 0.2 s a repetition is plenty, and
// keeps the 46 cases to a minute or two.
BENCHMARK(BM_encode)->Apply(all_pictures)->MinTime(0.2)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
