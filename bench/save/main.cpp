// bench-save: how much slower saving 10,000 changed rows of AJUSTE_CIERRE through CAjuste,
// PAjuste and TAjuste (the window's chain, error limit 0) is than a bare client-library loop
// that runs the same UPDATE text once per row in one transaction, prepared once. For reference
// it also times the bare loop that prepares the statement for every row.
//
//   bench-save [folder] [rows]
//
// Every measurement runs on a fresh copy of a table with an index on AJCI_ID, made from a
// template database kept in the folder; the measurements alternate. The last line is "ratio R":
// the median of the saves over the median of the bare loops prepared once; the line before it
// gives the same in processor time, which a busy machine disturbs less.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/cached_open/bench_database.h"
#include "bench/cached_open/rounds.h"
#include "bench/save/bare_update.h"
#include "bench/save/window_rows.h"

namespace {

namespace fs = std::filesystem;

constexpr int kRounds = 5;

std::int64_t NewFactor(std::int32_t id) {
  return 5000 + id % 2999;  // 0.5 up to 0.7998: never the template's 0.8
}

// A fresh copy of the template, with the index the benchmark asks for.
std::string FreshCopy(const std::string& folder, const std::string& templatePath) {
  const std::string path = folder + "/round.fdb";
  fs::remove(path);
  fs::copy_file(templatePath, path);
  BareConnection c(path);
  c.Execute("CREATE INDEX AJUSTE_CIERRE_ID ON AJUSTE_CIERRE (AJCI_ID)");
  return path;
}

// Fails the run when the table does not hold the new factors.
void CheckSaved(const std::string& path, std::int64_t expectedSum, const char* what) {
  BareConnection c(path);
  if (c.FactorSum() != expectedSum) {
    std::fprintf(stderr, "%s left other factors than the new ones\n", what);
    std::exit(1);
  }
}

}  // namespace

int main(int argc, char** argv) {
  try {
    const std::string folder = argc >= 2 ? argv[1] : "/tmp/bench-save";
    const std::int64_t rows = argc >= 3 ? std::atoll(argv[2]) : 10000;
    const std::string templatePath = folder + "/template-" + std::to_string(rows) + ".fdb";
    std::printf("template %s, %lld rows\n", templatePath.c_str(), static_cast<long long>(rows));
    std::fflush(stdout);
    EnsureBenchDatabase(templatePath, rows);

    std::int64_t expectedSum = 0;
    std::vector<BareRow> bareRows;
    {
      BareConnection c(templatePath);
      bareRows = c.ReadRows(NewFactor);
    }
    for (const BareRow& r : bareRows) expectedSum += r.newFactor;

    std::vector<double> saves, bare, bareEveryRow, savesCpu, bareCpu;
    std::string updateText;
    for (int round = 0; round < kRounds; ++round) {
      {
        const std::string path = FreshCopy(folder, templatePath);
        WindowRows window(path, NewFactor);
        std::int32_t failed = -1;
        const Timing t = Measure([&] { failed = window.Save(); });
        saves.push_back(t.seconds);
        savesCpu.push_back(t.cpuSeconds);
        if (failed != 0 || window.ChangedRows() != 0 || window.StatementsSent() != rows) {
          std::fprintf(stderr, "the save failed %d rows and sent %lld statements\n", failed,
                       static_cast<long long>(window.StatementsSent()));
          return 1;
        }
        updateText = window.FirstStatement();
      }
      CheckSaved(folder + "/round.fdb", expectedSum, "the save");
      for (const bool everyRow : {false, true}) {
        const std::string path = FreshCopy(folder, templatePath);
        {
          // Read first, as the save's rows are, so that both start from the same cache.
          BareConnection c(path);
          c.ReadRows(NewFactor);
          const Timing t = Measure([&] { c.Update(updateText, bareRows, everyRow); });
          (everyRow ? bareEveryRow : bare).push_back(t.seconds);
          if (!everyRow) bareCpu.push_back(t.cpuSeconds);
        }
        CheckSaved(path, expectedSum, "the bare loop");
      }
      std::printf(
          "round %d: save %.3f s (cpu %.3f s), bare %.3f s (cpu %.3f s), bare preparing every row "
          "%.3f s\n",
          round + 1, saves.back(), savesCpu.back(), bare.back(), bareCpu.back(),
          bareEveryRow.back());
      std::fflush(stdout);
    }
    fs::remove(folder + "/round.fdb");
    std::printf("median save %.3f s, median bare %.3f s, median bare preparing every row %.3f s\n",
                Median(saves), Median(bare), Median(bareEveryRow));
    std::printf("ratio to the bare loop preparing every row %.3f\n",
                Median(saves) / Median(bareEveryRow));
    std::printf("cpu ratio %.3f\n", Median(savesCpu) / Median(bareCpu));
    std::printf("ratio %.3f\n", Median(saves) / Median(bare));
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "bench-save: %s\n", e.what());
    return 1;
  }
}
