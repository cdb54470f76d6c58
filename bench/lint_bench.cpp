// The document linter ("davhost doc check") on system documents of 1,000 to 90,000 rows, a
// mix of known rows, repeats, unknown IDs and values that stop the applier, so that every
// kind of finding is made many times. The complexity line fits the times to n: the cost
// should grow with the rows, not with their square.
#include <benchmark/benchmark.h>

#include <string>

#include "catalogue/document_lint.h"

namespace dav::catalogue {
namespace {

std::string DocumentOfRows(int n) {
  static constexpr const char* kIds[] = {"TaskManager", "CmdPrompt",     "RegEdition",
                                         "NoDrives",    "DriveSettings", "TaskManger"};
  std::string text =
      "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<DocRoot><Configuration "
      "SpecVersion=\"1.0.0\">\r\n<UsedAccess>\r\n";
  for (int i = 0; i < n; ++i) {
    const char* id = kIds[i % 6];
    std::string value = i % 6 == 4 ? std::string(26, '0') : "1";
    if (i % 97 == 0) value = "abc";
    text += "<Row ID=\"" + std::string(id) + "\" Value=\"" + value + "\" />\r\n";
  }
  return text + "</UsedAccess></Configuration></DocRoot>\r\n";
}

void BM_LintRows(benchmark::State& state) {
  const std::string doc = DocumentOfRows(static_cast<int>(state.range(0)));
  std::size_t findings = 0;
  for (auto _ : state) findings = LintDocument(doc, {}).size();
  state.counters["findings"] = static_cast<double>(findings);
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_LintRows)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(90000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

}  // namespace
}  // namespace dav::catalogue
