// bench-cached-open: how much slower opening the filtered CAjuste over a large AJUSTE_CIERRE is
// than reading the same rows with a bare client-library loop, and how much memory the open takes.
//
//   bench-cached-open [database path] [rows]
//
// The two readings alternate, so that both see the same cache state. The peak resident memory is
// measured in a process of its own (the program runs itself with --open-once), so that the bare
// loop and earlier rounds do not count. The last line is "ratio R peak_mib M".
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "base/date_time.h"
#include "bench/cached_open/bare_reader.h"
#include "bench/cached_open/bench_database.h"
#include "bench/cached_open/cached_open.h"
#include "bench/cached_open/rounds.h"

namespace {

constexpr int kRounds = 5;
constexpr int kDayIndex = 42;

// VmHWM of this process in KiB.
long PeakKib() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmHWM:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
  }
  return -1;
}

// Runs this program again with --open-once and reads the peak it reports.
double MeasurePeakMib(const std::string& path) {
  char self[4096];
  const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
  if (n <= 0) return -1;
  self[n] = 0;
  const std::string command = std::string("'") + self + "' --open-once '" + path + "'";
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return -1;
  long kib = -1;
  char line[256];
  while (std::fgets(line, sizeof line, pipe)) {
    if (std::strncmp(line, "peak_kib ", 9) == 0) kib = std::strtol(line + 9, nullptr, 10);
  }
  if (pclose(pipe) != 0) return -1;
  return kib < 0 ? -1 : kib / 1024.0;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    if (argc >= 3 && std::strcmp(argv[1], "--open-once") == 0) {
      const std::int64_t visible = OpenCAjusteOnce(argv[2], kDayIndex);
      std::printf("visible %lld\npeak_kib %ld\n", static_cast<long long>(visible), PeakKib());
      return 0;
    }
    const std::string path = argc >= 2 ? argv[1] : "/tmp/bench-cached-open/ajuste.fdb";
    const std::int64_t rows = argc >= 3 ? std::atoll(argv[2]) : 1000000;
    std::printf("database %s, %lld rows\n", path.c_str(), static_cast<long long>(rows));
    std::fflush(stdout);
    EnsureBenchDatabase(path, rows);

    // Firebird counts days from 17 November 1858.
    const std::int32_t firebirdDay =
        DateToDayNumber(EncodeDate(kBenchYear, kBenchMonth, kBenchDay)) -
        DateToDayNumber(EncodeDate(1858, 11, 17)) + kDayIndex;

    std::vector<double> bare, cached;
    for (int round = 0; round < kRounds; ++round) {
      BareReadResult b;
      std::int64_t visible = 0;
      bare.push_back(Seconds([&] { b = BareRead(path, firebirdDay); }));
      cached.push_back(Seconds([&] { visible = OpenCAjusteOnce(path, kDayIndex); }));
      std::printf(
          "round %d: bare %.3f s (%lld rows, %lld of the day), cached %.3f s (%lld visible)\n",
          round + 1, bare.back(), static_cast<long long>(b.rows),
          static_cast<long long>(b.matching), cached.back(), static_cast<long long>(visible));
      std::fflush(stdout);
      if (visible != b.matching) {
        std::fprintf(stderr, "the cached open shows %lld rows, the bare loop counts %lld\n",
                     static_cast<long long>(visible), static_cast<long long>(b.matching));
        return 1;
      }
    }
    const double peak = MeasurePeakMib(path);
    std::printf("median bare %.3f s, median cached %.3f s\n", Median(bare), Median(cached));
    std::printf("ratio %.3f peak_mib %.1f\n", Median(cached) / Median(bare), peak);
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "bench-cached-open: %s\n", e.what());
    return 1;
  }
}
