// Reading text as a list: the inverse of a list's text form. The text is a
// sequence of values separated by white space, each an integer (decimal
// digits, an optional minus sign before them) or a bracketed group of values,
// which becomes a new list. The result is a new list of the values at the
// top level, so "[12 5 33 ]" reads as a list whose one element is the list
// 12 5 33.
//
// The reader never reads outside the text and never recurses without bound.
// Text it cannot read raises rt::Error with a message that names the place:
// an empty or blank text, one longer than kMaxReadLength bytes, an unbalanced
// bracket, a byte that starts no value (NUL included), an integer outside the
// 64-bit range, or groups nested deeper than kMaxReadDepth.

#ifndef ERILAISETRIVIT_RUNTIME_READER_H_
#define ERILAISETRIVIT_RUNTIME_READER_H_

#include <cstddef>
#include <string_view>

#include "runtime/value.h"

namespace rt {

inline constexpr std::size_t kMaxReadLength = std::size_t{1} << 20;
inline constexpr int kMaxReadDepth = 64;

Value ReadList(std::string_view text);

}  // namespace rt

#endif  // ERILAISETRIVIT_RUNTIME_READER_H_
