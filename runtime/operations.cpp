#include "runtime/operations.h"

#include <charconv>
#include <cstddef>
#include <iterator>
#include <limits>
#include <string>

#include "runtime/error.h"

namespace rt {

namespace {

constexpr std::size_t kLineRoom = 64;

void AppendTextForm(const Value& v, Text& out, int depth = 0) {
  if (v.is_text()) {
    out += v.text();
  } else if (v.is_integer()) {
    char digits[std::numeric_limits<Integer>::digits10 + 2];  // and a sign
    const char* const end = std::to_chars(std::begin(digits), std::end(digits), v.integer()).ptr;
    out.append(digits, static_cast<std::size_t>(end - digits));
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
  AppendElements(*copy, source);
  return copy;
}

void AppendElements(List& target, const List& source) {
  // By index and up to the size at the start: the source may be the target.
  const std::size_t count = source.size();
  for (std::size_t i = 0; i < count; ++i) target.Push(source[i]);
}

void RaiseOverflow(const char* operation) { throw Error(std::string("integer overflow in ") + operation); }

Text TextForm(const Value& v) {
  Text out;
  AppendTextForm(v, out);
  return out;
}

Value Join(std::span<const Value> items) {
  Text out;
  // Joined texts are mostly lines of a few dozen bytes: room for one from
  // the start spares growing the text piece by piece.
  out.reserve(kLineRoom);
  for (const Value& item : items) AppendTextForm(item, out);
  return Value::TakeText(std::move(out));
}

}  // namespace rt
