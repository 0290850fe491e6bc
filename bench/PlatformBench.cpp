// Platform costs that every later layer pays: copying variant arrays (request packages are
// copied by value across calls) and formatting dates and texts.
#include <benchmark/benchmark.h>

#include "DateTime.h"
#include "SysUtils.h"
#include "Variant.h"

namespace {

// A package-like array: N rows of [text, number, date].
Variant MakeRows(int rows) {
  Variant a = VarArrayCreate({1, rows}, varVariant);
  for (int i = 1; i <= rows; ++i)
    a[i] = VarArrayOf(
        {Variant::Wide("row " + std::to_string(i)), Variant(i), Variant::FromDate(45356.5 + i)});
  return a;
}

void VariantArrayCopy(benchmark::State& state) {
  const Variant rows = MakeRows(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    Variant copy = rows;
    benchmark::DoNotOptimize(copy);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(VariantArrayCopy)->Name("platform/VariantArrayCopy")->Arg(1000);

// The baseline beside it: the same number of flat elements as a plain vector of strings.
void StringVectorCopy(benchmark::State& state) {
  std::vector<std::string> rows;
  for (int64_t i = 0; i < state.range(0) * 3; ++i) rows.push_back("row " + std::to_string(i));
  for (auto _ : state) {
    std::vector<std::string> copy = rows;
    benchmark::DoNotOptimize(copy);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(StringVectorCopy)->Name("platform/VariantArrayCopy/baseline-strings")->Arg(1000);

void FormatDateTimeBench(benchmark::State& state) {
  const TDateTime dt = EncodeDate(2024, 3, 5) + EncodeTime(14, 7, 9, 45);
  for (auto _ : state) benchmark::DoNotOptimize(FormatDateTime("yyyy/mm/dd hh:nn:ss.zzz", dt));
}
BENCHMARK(FormatDateTimeBench)->Name("platform/FormatDateTime");

void FormatBench(benchmark::State& state) {
  const std::vector<FormatArg> args = {int64_t{2024}, std::string("/"), int64_t{3},
                                       std::string("/"), int64_t{5}};
  for (auto _ : state) benchmark::DoNotOptimize(Format("%.4d%s%.2d%s%.2d", args));
}
BENCHMARK(FormatBench)->Name("platform/Format");

void VariantTextRoundTrip(benchmark::State& state) {
  const Variant value(1.0 / 3);
  for (auto _ : state) benchmark::DoNotOptimize(Variant(value.AsString()).AsDouble());
}
BENCHMARK(VariantTextRoundTrip)->Name("platform/VariantTextRoundTrip");

}  // namespace
