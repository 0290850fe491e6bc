// Filling a selection panel's list: AddRow keeps the full pass's results (padding,
// duplicates, column widths after every row) but works on the new row only, so n rows cost
// n; the baseline beside it forces the full pass after every row (n squared).
#ifdef KXBR_CONTROLS_BENCH

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "SelectPnl.h"

namespace {

std::vector<std::string> RowOf(int i) {
  const std::string n = std::to_string(i);
  return {"QRTA" + n, "合同" + n, "2004/01/15", "note " + n};
}

void FillList(benchmark::State& state, bool fullPass) {
  const int rows = static_cast<int>(state.range(0));
  for (auto _ : state) {
    state.PauseTiming();
    auto* panel = new TSelectPanel(nullptr);
    panel->SetStyle(sp_Discrete);
    TVekListView* list = panel->ListView;
    state.ResumeTiming();
    for (int i = 0; i < rows; ++i) {
      // Touching a row behind AddRow's back makes the next AddRow take the full pass.
      if (fullPass && i > 0) list->Items()->Item(0)->SubItems()->SetStrings(0, i % 2 ? "x" : "y");
      benchmark::DoNotOptimize(list->AddRow(RowOf(i)));
    }
    state.PauseTiming();
    if (list->Items()->Count() != rows) state.SkipWithError("rows lost");
    panel->Free();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * rows);
}

void AddRow(benchmark::State& state) {
  FillList(state, false);
}
BENCHMARK(AddRow)->Name("controls/AddRow")->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void AddRowFullPass(benchmark::State& state) {
  FillList(state, true);
}
// Kept small: at 10000 rows the full pass after every row takes minutes.
BENCHMARK(AddRowFullPass)
    ->Name("controls/AddRowFullPass")
    ->Arg(1000)
    ->Unit(benchmark::kMillisecond);

}  // namespace

#endif  // KXBR_CONTROLS_BENCH
