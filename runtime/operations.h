// The operations of the runtime on values: list handling, exact integer
// arithmetic and comparisons, and joining a template into a text. Each takes
// and returns values; each raises rt::Error for a value of the wrong kind and
// for an integer result that does not fit, and never alters a value it is
// not asked to alter.

#ifndef ERILAISETRIVIT_RUNTIME_OPERATIONS_H_
#define ERILAISETRIVIT_RUNTIME_OPERATIONS_H_

#include <span>

#include "runtime/value.h"

namespace rt {

// Lists.
Value Copy(const Value& list);  // a new list holding the same elements
// Adds the elements of a list value one by one at the tail of `target`; any
// other value is added as one element.
void Append(const Value& target, const Value& item);
// The 1-based position of the first element equal to `item`, or the absent
// value when no element equals it.
Value Find(const Value& list, const Value& item);
Integer Length(const Value& list);
// The element at a 1-based position; the absent value where there is none.
Value Element(const Value& list, Integer position);

// Integers.
Integer Add(Integer a, Integer b);
Integer Multiply(Integer a, Integer b);

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
