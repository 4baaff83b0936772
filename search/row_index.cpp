#include "search/row_index.h"

#include <algorithm>

namespace search {

namespace {

RowMask mask_of(const rt::List& list, std::size_t count) {
  RowMask mask = 0;
  const std::size_t end = std::min(count, list.size());
  for (std::size_t i = 0; i < end; ++i) mask = with_element(mask, list[i]);
  return mask;
}

}  // namespace

RowMask with_element(RowMask mask, const rt::Value& element) {
  RowMask bit = 0;
  if (element.is_integer()) {
    const rt::Integer n = element.integer();
    if (n >= 1 && n <= kLargestSetNumber) bit = number_bit(n);
  }
  return (bit == 0 || (mask & bit) != 0) ? mask | kNotASet : mask | bit;
}

void RowIndex::CatchUp(const rt::List& rivit) {
  for (std::size_t i = masks_.size(); i < rivit.size(); ++i) {
    const rt::Value& row = rivit[i];
    const RowMask mask = row.is_list() ? mask_of(row.list(), static_cast<std::size_t>(kNumbersInRow)) : kNotASet;
    masks_.push_back(mask);
    union_ |= mask;
  }
}

void RowIndex::Clear() {
  masks_.clear();
  union_ = 0;
}

void ListMask::Set(const rt::Value& list, RowMask mask) {
  list_ = list;
  length_ = list.list().size();
  mask_ = mask;
}

RowMask ListMask::Of(const rt::Value& list) const {
  const rt::List& l = list.list();
  if (list == list_ && l.size() == length_) return mask_;
  return mask_of(l, l.size());
}

}  // namespace search
