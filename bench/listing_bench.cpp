// The listing of one folder with a pattern, timed inside the process (a Wine start costs
// seconds): listing_bench FOLDER PATTERN ROUNDS. Prints the number of listed files, the best
// round in milliseconds and, for scale, the best bare FindFirstFileW/FindNextFileW walk.

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "base/exception.h"
#include "base/text.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/wide.h"
#include "update/directory.h"

namespace {

template <typename Round>
double BestMilliseconds(int rounds, Round&& round) {
  double best = 1e300;
  for (int i = 0; i < rounds; ++i) {
    const auto start = std::chrono::steady_clock::now();
    round();
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    best = std::min(best, took.count());
  }
  return best;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: listing_bench FOLDER PATTERN ROUNDS\n");
    return 2;
  }
  const std::u16string folder = FromWide(argv[1]);
  const std::u16string pattern = FromWide(argv[2]);
  const int rounds = std::max(1, _wtoi(argv[3]));
  size_t count = 0;
  double listing = 0;
  try {
    listing = BestMilliseconds(
        rounds, [&] { count = TDirectory::GetFiles(folder, pattern, TSearchOption::soTopDirectoryOnly).size(); });
  } catch (const Exception& error) {
    std::fprintf(stderr, "listing failed: %s\n", ToUtf8(error.Message()).c_str());
    return 1;
  }
  const std::u16string search = folder + u"\\*";
  const double bare = BestMilliseconds(rounds, [&] {
    WIN32_FIND_DATAW data;
    const UniqueFind walk(FindFirstFileW(Wide(search), &data));
    while (walk && FindNextFileW(walk.get(), &data)) {
    }
  });
  std::printf("%zu %.3f %.3f\n", count, listing, bare);
  return 0;
}
