#include "search/rows.h"

#include <cassert>
#include <span>

#include "runtime/operations.h"
#include "search/overlap.h"

namespace search {

namespace {

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
  // The draws are counted in plain integers and the variables set once at
  // the end, as the drawing loop leaves them: nothing reads them in between.
  // The candidate's set mask says whether a number was drawn before, as a
  // search of the list would: its numbers are all small enough for a bit.
  static_assert(kLargestNumber <= kLargestSetNumber);
  const rt::Value candidate = rt::Copy(g.literals.empty_rivi);
  rt::List& numbers = candidate.list();
  RowMask mask = 0;
  rt::Integer count = 0;
  rt::Integer number = 0;
  while (count < kNumbersInRow) {
    number = g.runtime.RandomUpTo(kLargestNumber);
    const RowMask bit = number_bit(number);
    if ((mask & bit) == 0) {
      numbers.Push(number);
      mask |= bit;
      ++count;
    }
  }
  g.lkm = count;
  g.numero = number;
  g.arvotturivi = candidate;
  g.arvotturivi_mask.Set(candidate, mask);
}

// The rows by value: they stay montaoikein's own whatever becomes of the
// program-wide variables they were passed from.
// NOLINTNEXTLINE(performance-unnecessary-value-param)
rt::Integer montaoikein(Globals& g, rt::Value rivi1, rt::Value rivi2) {
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
  const rt::List& rivit = g.rivit.list();
  assert(g.rivit_index.size() == rivit.size() && "rivit changed other than by store_row");
  g.isoinkpl = 0;
  const RowMask candidate = g.arvotturivi_mask.Of(g.arvotturivi);
  if (!g.rivit_index.all_sets() || !is_set(candidate)) {
    // Some row, or the candidate, is not a set of small integers: pair by pair.
    for (const rt::Value& row : rivit) {
      g.rivi = row;
      g.oik = montaoikein(g, g.rivi, g.arvotturivi);
      if (g.oik.integer() >= g.isoinkpl.integer()) g.isoinkpl = g.oik;
    }
    return g.isoinkpl.integer();
  }
  // Every stored row at once, from the index.
  const std::span<const RowMask> rows = g.rivit_index.masks();
  if (!rows.empty()) {
    g.rivi = rivit[rivit.size() - 1];
    g.oik = largest_overlap(rows.last(1), candidate);
    leave_as_counted(g, g.rivi, g.arvotturivi, g.oik.integer());
  }
  g.isoinkpl = largest_overlap(rows, candidate);
  return g.isoinkpl.integer();
}

}  // namespace search
