// The row index: the set masks of the stored rows, one 64-bit word per row in
// one contiguous array kept beside rivit, so that the largest overlap of a
// candidate with every stored row is one pass over the array (overlap.h).
//
// A set mask holds the numbers of a row as row.h has it, bit n - 1 for the
// number n, for the numbers 1 to 63. The last bit, kNotASet, which would be
// the number 64, marks a run of elements that is no set of such numbers: it
// holds an integer outside 1..63, a value that is no integer, or a number
// twice. For two sets the numbers they share are the bits of their AND; for
// anything else only the pair-by-pair count is exact.
//
// rivit only ever grows, by the store step, and the rows in it never change,
// so the index only grows with it and needs no invalidation: store_row is its
// one writer and set_up empties it with rivit.

#ifndef ERILAISETRIVIT_SEARCH_ROW_INDEX_H_
#define ERILAISETRIVIT_SEARCH_ROW_INDEX_H_

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "runtime/value.h"
#include "search/row.h"

namespace search {

inline constexpr rt::Integer kLargestSetNumber = kMaskNumbers - 1;
inline constexpr RowMask kNotASet = number_bit(kMaskNumbers);

inline bool is_set(RowMask mask) { return (mask & kNotASet) == 0; }
// The mask of a run of elements after `element` joins it.
RowMask with_element(RowMask mask, const rt::Value& element);

// The set masks of the stored rows, in the order of rivit. Each covers the
// first kNumbersInRow elements of its row, the part that montaoikein reads
// of a stored row; an element of rivit that is no list is kNotASet.
class RowIndex {
 public:
  // Adds the masks of the elements of `rivit` past those already indexed.
  // REQUIRES: the elements indexed so far are the first size() of `rivit`.
  void CatchUp(const rt::List& rivit);
  void Clear();

  std::size_t size() const { return masks_.size(); }
  std::span<const RowMask> masks() const { return masks_; }
  // True when every indexed row is a set.
  bool all_sets() const { return is_set(union_); }

 private:
  std::vector<RowMask> masks_;
  RowMask union_ = 0;
};

// The set mask of all the elements of a list, kept with the list it was made
// for. A list only grows at its tail, so the same list at the same length
// still holds the elements the mask was made from.
class ListMask {
 public:
  void Set(const rt::Value& list, RowMask mask);
  // The kept mask if `list` is that list at that length, else one made anew
  // from its elements.
  RowMask Of(const rt::Value& list) const;

 private:
  rt::Value list_;
  std::size_t length_ = 0;
  RowMask mask_ = 0;
};

}  // namespace search

#endif  // ERILAISETRIVIT_SEARCH_ROW_INDEX_H_
