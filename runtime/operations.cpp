#include "runtime/operations.h"

#include <algorithm>
#include <string>

#include "runtime/error.h"

namespace rt {

namespace {

void AppendTextForm(const Value& v, Text& out, int depth = 0) {
  if (v.is_text()) {
    out += v.text();
  } else if (v.is_integer()) {
    out += std::to_string(v.integer());
  } else if (v.is_list()) {
    if (depth == kMaxTextFormDepth) throw Error("a list is nested too deeply to write as text");
    out += '[';
    for (const Value& e : v.list()) {
      AppendTextForm(e, out, depth + 1);
      out += ' ';
    }
    out += ']';
  } else {
    throw Error("the absent value has no text form");
  }
}

}  // namespace

Value Copy(const Value& list) {
  const List& source = list.list();
  auto copy = MakeList();
  for (const Value& e : source) copy->Push(e);
  return copy;
}

void Append(const Value& target, const Value& item) {
  List& list = target.list();
  if (!item.is_list()) {
    list.Push(item);
    return;
  }
  // By index and up to the size at the start: the item may be the target.
  const List& source = item.list();
  const std::size_t count = source.size();
  for (std::size_t i = 0; i < count; ++i) list.Push(source[i]);
}

Value Find(const Value& list, const Value& item) {
  const List& l = list.list();
  const auto found = std::find(l.begin(), l.end(), item);
  if (found == l.end()) return {};
  return static_cast<Integer>(found - l.begin() + 1);
}

Integer Length(const Value& list) { return static_cast<Integer>(list.list().size()); }

Value Element(const Value& list, Integer position) {
  const List& l = list.list();
  if (position < 1 || static_cast<std::uint64_t>(position) > l.size()) return {};
  return l[static_cast<std::size_t>(position - 1)];
}

Integer Add(Integer a, Integer b) {
  Integer sum;
  if (__builtin_add_overflow(a, b, &sum)) throw Error("integer overflow in an addition");
  return sum;
}

Integer Multiply(Integer a, Integer b) {
  Integer product;
  if (__builtin_mul_overflow(a, b, &product)) throw Error("integer overflow in a multiplication");
  return product;
}

Text TextForm(const Value& v) {
  Text out;
  AppendTextForm(v, out);
  return out;
}

Value Join(std::span<const Value> items) {
  Text out;
  for (const Value& item : items) AppendTextForm(item, out);
  return Value::MakeText(out);
}

}  // namespace rt
