#include "search/overlap.h"

#include <algorithm>
#include <iterator>

#include "search/overlap_kernels.h"
#include "search/overlap_paths.h"

namespace search {

namespace {

int largest_overlap_portable(const RowMask* rows, std::size_t count, RowMask candidate) {
  return largest_overlap_by_word<false>(rows, count, candidate);
}

bool runs_anywhere() { return true; }

// Fastest first, the order in which the choice tries them; the last runs on
// any CPU, so the choice always finds one.
constexpr OverlapPath kPaths[] = {
#ifdef ERILAISETRIVIT_OVERLAP_X86
    {"avx512", cpu_runs_avx512, largest_overlap_avx512},
    {"avx2", cpu_runs_avx2, largest_overlap_avx2},
    {"popcnt", cpu_runs_popcnt, largest_overlap_popcnt},
#endif
    {"portable", runs_anywhere, largest_overlap_portable},
};

int choose_then_count(const RowMask* rows, std::size_t count, RowMask candidate);

// Until a path is taken, the kernel is the choice itself, so that a count
// costs one indirect call and nothing else.
constinit OverlapKernel g_kernel = choose_then_count;
constinit const OverlapPath* g_path = nullptr;

void take(const OverlapPath& path) {
  g_path = &path;
  g_kernel = path.kernel;
}

int choose_then_count(const RowMask* rows, std::size_t count, RowMask candidate) {
  return overlap_path().kernel(rows, count, candidate);
}

}  // namespace

int largest_overlap(std::span<const RowMask> rows, RowMask candidate) {
  return g_kernel(rows.data(), rows.size(), candidate);
}

std::span<const OverlapPath> overlap_paths() { return kPaths; }

const OverlapPath& overlap_path() {
  if (g_path == nullptr) {
    take(*std::find_if(std::begin(kPaths), std::end(kPaths), [](const OverlapPath& path) { return path.supported(); }));
  }
  return *g_path;
}

bool force_overlap_path(const OverlapPath& path) {
  if (!path.supported()) return false;
  take(path);
  return true;
}

}  // namespace search
