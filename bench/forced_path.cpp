// Linked with main.cpp into a copy of the program that only the benchmarks
// use, so that each path of the overlap kernel can be timed as a whole
// process. Before main runs, it forces the path named by the environment
// variable ERILAISETRIVIT_OVERLAP_PATH ("avx512", "avx2", "popcnt" or
// "portable"), or, given "list", prints the paths this CPU runs, the one the
// program would choose first, and exits. Without the variable the copy is the
// program. A path the CPU cannot run, or an unknown name, ends it with status
// 2 before the search starts. The program itself reads no environment.

#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "search/overlap_paths.h"

namespace {

void print(std::FILE* stream, std::string_view text) {
  std::fprintf(stream, "%.*s", static_cast<int>(text.size()), text.data());
}

bool force_path_from_environment() {
  const char* wanted = std::getenv("ERILAISETRIVIT_OVERLAP_PATH");
  if (wanted == nullptr) return false;
  if (std::string_view(wanted) == "list") {
    for (const search::OverlapPath& path : search::overlap_paths()) {
      if (!path.supported()) continue;
      print(stdout, path.name);
      print(stdout, "\n");
    }
    std::exit(0);
  }
  for (const search::OverlapPath& path : search::overlap_paths()) {
    if (path.name != wanted) continue;
    if (search::force_overlap_path(path)) return true;
    print(stderr, "this CPU cannot run the overlap path ");
    print(stderr, wanted);
    print(stderr, "\n");
    std::exit(2);
  }
  print(stderr, "no overlap path is named ");
  print(stderr, wanted);
  print(stderr, "\n");
  std::exit(2);
}

[[maybe_unused]] const bool kForcedFromEnvironment = force_path_from_environment();

}  // namespace
