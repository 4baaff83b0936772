#include "search/rows.h"

#include <algorithm>
#include <bit>
#include <iterator>
#include <span>

#include "runtime/operations.h"

namespace search {

namespace {

// The overlap of two rows whose set masks are exact is one AND and a
// population count: each number both rows hold is one equal pair.
bool masks_exact(rt::SetMask a, rt::SetMask b) { return ((a | b) & rt::kNotASmallSet) == 0; }

rt::Integer shared_numbers(rt::SetMask head, rt::SetMask all) { return std::popcount(head & all); }

// The largest count of numbers that `candidate` shares with any of `heads`,
// 0 for none. Four running maxima, so that a count need not wait for the
// comparison of the one before it.
rt::Integer largest_shared(std::span<const rt::SetMask> heads, rt::SetMask candidate) {
  constexpr std::size_t kLanes = 4;
  rt::Integer most[kLanes] = {};
  std::size_t i = 0;
  for (; i + kLanes <= heads.size(); i += kLanes) {
    for (std::size_t lane = 0; lane < kLanes; ++lane) {
      most[lane] = std::max(most[lane], shared_numbers(heads[i + lane], candidate));
    }
  }
  for (; i < heads.size(); ++i) most[0] = std::max(most[0], shared_numbers(heads[i], candidate));
  return *std::max_element(std::begin(most), std::end(most));
}

// Leaves montaoikein's working variables as its full pass over rivi1 and
// rivi2 leaves them, for a count taken from the masks.
void leave_as_counted(Globals& g, const rt::Value& rivi1, const rt::Value& rivi2, rt::Integer count) {
  g.numeroindeksi = kNumbersInRow + 1;
  g.kpl = count;
  g.numero = rt::Element(rivi1, kNumbersInRow);
  const rt::Integer length = rt::Length(rivi2);
  if (length > 0) g.num2 = rt::Element(rivi2, length);
}

}  // namespace

void arvorivi(Globals& g) {
  g.lkm = 0;
  g.arvotturivi = rt::Copy(g.literals.empty_rivi);
  while (g.lkm.integer() < kNumbersInRow) {
    g.numero = g.runtime.RandomUpTo(kLargestNumber);
    if (rt::Find(g.arvotturivi, g.numero).is_absent()) {
      rt::Append(g.arvotturivi, g.numero);
      g.lkm = rt::Add(g.lkm.integer(), 1);
    }
  }
}

// The rows by value: they stay montaoikein's own whatever becomes of the
// program-wide variables they were passed from.
// NOLINTNEXTLINE(performance-unnecessary-value-param)
rt::Integer montaoikein(Globals& g, rt::Value rivi1, rt::Value rivi2) {
  const rt::SetMask head = rivi1.list().head_mask();
  const rt::SetMask all = rivi2.list().mask();
  if (masks_exact(head, all)) {
    const rt::Integer count = shared_numbers(head, all);
    leave_as_counted(g, rivi1, rivi2, count);
    return count;
  }
  g.numeroindeksi = 1;
  g.kpl = 0;
  for (rt::Integer pass = 0; pass < kNumbersInRow; ++pass) {
    g.numero = rt::Element(rivi1, g.numeroindeksi.integer());
    for (const rt::Value& element : rivi2.list()) {
      g.num2 = element;
      if (g.numero == g.num2) g.kpl = rt::Add(g.kpl.integer(), 1);
    }
    g.numeroindeksi = rt::Add(g.numeroindeksi.integer(), 1);
  }
  return g.kpl.integer();
}

rt::Integer enitenoikein(Globals& g) {
  g.isoinkpl = 0;
  const rt::List& rivit = g.rivit.list();
  const rt::SetMask candidate = g.arvotturivi.list().mask();
  if (!masks_exact(rivit.element_head_masks_union(), candidate)) {
    // Some row, or the candidate, is not a set of small integers: pair by pair.
    for (const rt::Value& row : rivit) {
      g.rivi = row;
      g.oik = montaoikein(g, g.rivi, g.arvotturivi);
      if (g.oik.integer() >= g.isoinkpl.integer()) g.isoinkpl = g.oik;
    }
    return g.isoinkpl.integer();
  }
  // Every stored row at once, from the compact array of their head masks.
  const std::span<const rt::SetMask> heads = rivit.element_head_masks();
  if (!heads.empty()) {
    g.rivi = rivit[rivit.size() - 1];
    g.oik = shared_numbers(heads.back(), candidate);
    leave_as_counted(g, g.rivi, g.arvotturivi, g.oik.integer());
  }
  g.isoinkpl = largest_shared(heads, candidate);
  return g.isoinkpl.integer();
}

}  // namespace search
