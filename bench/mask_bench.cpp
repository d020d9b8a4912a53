// The name matcher against glibc's fnmatch (FNM_CASEFOLD, C locale) over the same names.

#include <fnmatch.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>

#include "base/text.h"
#include "bench/bench_names.h"
#include "update/mask_matcher.h"

namespace {

constexpr int kRounds = 7;

// The best of several rounds, in milliseconds; count is the number of matches in a round.
double BestMilliseconds(const std::function<size_t()>& round, size_t& count) {
  double best = 1e300;
  for (int i = 0; i < kRounds; ++i) {
    const auto start = std::chrono::steady_clock::now();
    count = round();
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    best = std::min(best, took.count());
  }
  return best;
}

}  // namespace

int main() {
  const std::vector<std::string> names = RealisticNames(100000);
  std::vector<std::u16string> wideNames;
  for (const std::string& name : names) wideNames.push_back(FromAscii(name));
  const char* const patterns[] = {"*.exe", "tav*.dll", "setup_1??*.EXE", "[a-m]*.txt", "*report*-v1*", "*.*"};

  double oursTotal = 0;
  double compiledTotal = 0;
  double fnmatchTotal = 0;
  std::printf("%-16s %8s %12s %12s %12s\n", "pattern", "matches", "MatchesMask", "compiled", "fnmatch");
  for (const char* pattern : patterns) {
    const std::u16string widePattern = FromAscii(pattern);
    size_t ours = 0;
    size_t compiledCount = 0;
    size_t theirs = 0;
    const double oursMs = BestMilliseconds(
        [&] {
          return static_cast<size_t>(std::count_if(wideNames.begin(), wideNames.end(),
                                                   [&](const auto& n) { return MatchesMask(n, widePattern); }));
        },
        ours);
    const double compiledMs = BestMilliseconds(
        [&] {
          const CompiledMask mask(widePattern);
          return static_cast<size_t>(
              std::count_if(wideNames.begin(), wideNames.end(), [&](const auto& n) { return mask.Matches(n); }));
        },
        compiledCount);
    const double fnmatchMs = BestMilliseconds(
        [&] {
          return static_cast<size_t>(std::count_if(names.begin(), names.end(), [&](const std::string& n) {
            return fnmatch(pattern, n.c_str(), FNM_CASEFOLD) == 0;
          }));
        },
        theirs);
    if (ours != theirs || compiledCount != theirs) {
      std::printf("%s: %zu matches here, %zu by fnmatch\n", pattern, ours, theirs);
      return 1;
    }
    std::printf("%-16s %8zu %10.2fms %10.2fms %10.2fms\n", pattern, ours, oursMs, compiledMs, fnmatchMs);
    oursTotal += oursMs;
    compiledTotal += compiledMs;
    fnmatchTotal += fnmatchMs;
  }
  std::printf("matcher/fnmatch ratio: %.2f (pattern read per name), %.2f (read once, as the listing does)\n",
              oursTotal / fnmatchTotal, compiledTotal / fnmatchTotal);
  return 0;
}
