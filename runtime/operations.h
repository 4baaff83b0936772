// The operations of the runtime on values: list handling, exact integer
// arithmetic and comparisons, and joining a template into a text. Each takes
// and returns values; each raises rt::Error for a value of the wrong kind and
// for an integer result that does not fit, and never alters a value it is
// not asked to alter.

#ifndef ERILAISETRIVIT_RUNTIME_OPERATIONS_H_
#define ERILAISETRIVIT_RUNTIME_OPERATIONS_H_

#include <cstddef>
#include <cstdint>
#include <span>

#include "runtime/value.h"

namespace rt {

// The out-of-line parts of the inline operations below.
// Adds the first `source.size()` elements of `source`, which may be `target`.
void AppendElements(List& target, const List& source);
[[noreturn]] void RaiseOverflow(const char* operation);

// Lists. Append, Length, Element and the arithmetic are inline: a
// program may run them for every value it handles.
Value Copy(const Value& list);  // a new list holding the same elements
// Adds the elements of a list value one by one at the tail of `target`; any
// other value is added as one element.
inline void Append(const Value& target, const Value& item) {
  List& list = target.list();
  if (item.is_list()) {
    AppendElements(list, item.list());
  } else {
    list.Push(item);
  }
}
inline Integer Length(const Value& list) { return static_cast<Integer>(list.list().size()); }
// The element at a 1-based position; the absent value where there is none.
inline Value Element(const Value& list, Integer position) {
  const List& l = list.list();
  if (position < 1 || static_cast<std::uint64_t>(position) > l.size()) return {};
  return l[static_cast<std::size_t>(position - 1)];
}

// Integers.
inline Integer Add(Integer a, Integer b) {
  Integer sum;
  if (__builtin_add_overflow(a, b, &sum)) RaiseOverflow("an addition");
  return sum;
}
inline Integer Multiply(Integer a, Integer b) {
  Integer product;
  if (__builtin_mul_overflow(a, b, &product)) RaiseOverflow("a multiplication");
  return product;
}

// Texts. The text form of an integer is its decimal digits, with a minus sign
// when negative; of a text, the text itself; of a list, "[", the text form
// of each element followed by one space, "]". The absent value has none, and
// a list nested more than kMaxTextFormDepth deep gets none either: deep
// enough for any list the reader makes, it stops a list that holds itself,
// which appending can build, from recursing without end.
inline constexpr int kMaxTextFormDepth = 256;
Text TextForm(const Value& v);
// A new text: the text forms of the items concatenated, nothing in between.
Value Join(std::span<const Value> items);

}  // namespace rt

#endif  // ERILAISETRIVIT_RUNTIME_OPERATIONS_H_
