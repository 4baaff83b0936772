// Fuzzes joining a template. The input is a small script that builds the
// items of the template:
//
//   [ ... ]   a list of the values between the brackets (an unclosed one
//             is closed at the end of the input)
//   123 -45   an integer: the digits, taken modulo 2^64 so that every 64-bit
//             value can be written, negated after a minus sign
//   "..."     a text of the bytes up to the next double quote or the end
//   ?         the absent value
//   ^         the list closed last, once more: the same list, shared
//
// Other bytes separate values; a ']' with no open list is skipped, and so is
// a '[' that would open more lists than kMaxOpenLists at once. The
// values at the top level are the items. The template of a row is then
// "[" 12 " " 5 " " ... "]" and that of a report line
// "Vahintaan " 1 " saa noin " 43 ":lla rivilla".
//
// Beside each value the script keeps, worked out on its own, the text form
// the value must have, whether it holds the absent value and how deeply it
// nests. Join must give exactly the concatenated forms, or raise rt::Error
// when an item holds the absent value or nests past kMaxTextFormDepth; and
// it must leave every list it was given as it was.

#include <algorithm>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "runtime/error.h"
#include "runtime/operations.h"
#include "runtime/value.h"

namespace {

// Sharing a list doubles its text with one byte of input; past this many
// bytes of joined text the rest of the script is dropped. Each list's text
// is copied into the list around it, so nesting is bounded too: a little past
// the depth where the text form gives up, nothing new happens. Both keep
// every run quick.
constexpr std::size_t kMaxJoinedLength = std::size_t{1} << 12;
constexpr std::size_t kMaxOpenLists = rt::kMaxTextFormDepth + 2;

void Check(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "join_fuzzer: %s\n", what);
  std::abort();
}

// A value and what joining it must do.
struct Item {
  rt::Value value;
  std::string text_form;  // valid only when the value has one
  bool holds_absent = false;
  int height = 0;  // lists nested inside one another, itself included
};

// A list still being filled, with what has gone into it.
struct OpenList {
  rt::ListRef list = rt::MakeList();
  Item summary{list, "[", false, 1};
};

// Every list built, with its length when the script ended.
using ListCensus = std::vector<std::pair<rt::ListRef, std::size_t>>;

class Script {
 public:
  explicit Script(std::string_view input) : input_(input) {}

  void Run() {
    while (pos_ < input_.size() && Step()) {
    }
    while (!open_.empty()) Close();
  }

  const std::vector<Item>& items() const { return items_; }
  const ListCensus& census() const { return census_; }

 private:
  // Reads one token; false once the joined text would grow too long.
  bool Step() {
    const char c = input_[pos_++];
    switch (c) {
      case '[':
        if (open_.size() == kMaxOpenLists) return true;
        // Both brackets, and the space that follows the list inside another.
        if (!Charge(open_.empty() ? 2 : 3)) return false;
        open_.emplace_back();
        return true;
      case ']':
        if (!open_.empty()) Close();
        return true;
      case '"':
        return Add(ReadText());
      case '?':
        return Add(Item{rt::Value(), "", true, 0});
      case '^':
        return last_closed_.value.is_absent() || Add(last_closed_);
      default:
        if (c == '-' || IsDigit(c)) return Add(ReadInteger(c == '-'));
        return true;
    }
  }

  static bool IsDigit(char c) { return c >= '0' && c <= '9'; }

  Item ReadText() {
    const std::size_t end = std::min(input_.find('"', pos_), input_.size());
    const std::string_view text = input_.substr(pos_, end - pos_);
    pos_ = std::min(end + 1, input_.size());
    return Item{rt::Value::MakeText(text), std::string(text), false, 0};
  }

  Item ReadInteger(bool negative) {
    if (!negative) --pos_;
    std::uint64_t magnitude = 0;
    for (; pos_ < input_.size() && IsDigit(input_[pos_]); ++pos_) {
      magnitude = magnitude * 10 + static_cast<std::uint64_t>(input_[pos_] - '0');
    }
    const auto value = static_cast<rt::Integer>(negative ? 0 - magnitude : magnitude);
    char digits[24];
    const auto [end, error] = std::to_chars(digits, digits + sizeof digits, value);
    Check(error == std::errc(), "no room for the digits of a 64-bit integer");
    return Item{value, std::string(digits, end), false, 0};
  }

  // Counts `bytes` more of joined text; false when they do not fit.
  bool Charge(std::size_t bytes) {
    if (joined_length_ + bytes > kMaxJoinedLength) return false;
    joined_length_ += bytes;
    return true;
  }

  // A new value: its text form, and the space after it inside a list.
  bool Add(const Item& item) {
    if (!Charge(item.text_form.size() + (open_.empty() ? 0 : 1))) return false;
    Place(item);
    return true;
  }

  // Puts `item` in the innermost open list, or among the template's items.
  void Place(const Item& item) {
    if (open_.empty()) {
      items_.push_back(item);
      return;
    }
    Item& into = open_.back().summary;
    open_.back().list->Push(item.value);
    into.text_form += item.text_form;
    into.text_form += ' ';
    into.holds_absent = into.holds_absent || item.holds_absent;
    into.height = std::max(into.height, item.height + 1);
  }

  // Every byte of the list's text form was counted as the list grew.
  void Close() {
    OpenList closed = std::move(open_.back());
    open_.pop_back();
    closed.summary.text_form += ']';
    census_.emplace_back(closed.list, closed.list->size());
    last_closed_ = closed.summary;
    Place(last_closed_);
  }

  std::string_view input_;
  std::size_t pos_ = 0;
  std::vector<OpenList> open_;
  std::vector<Item> items_;
  Item last_closed_;
  ListCensus census_;
  std::size_t joined_length_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Script script(std::string_view(reinterpret_cast<const char*>(data), size));  // NOLINT
  script.Run();

  std::vector<rt::Value> values;
  std::string expected;
  bool should_fail = false;
  for (const Item& item : script.items()) {
    values.push_back(item.value);
    expected += item.text_form;
    should_fail = should_fail || item.holds_absent || item.height > rt::kMaxTextFormDepth;
  }

  try {
    const rt::Value joined = rt::Join(values);
    Check(!should_fail, "joined an item that has no text form");
    Check(joined.is_text() && joined.text() == expected, "the joined text is not the items' text forms");
  } catch (const rt::Error&) {
    Check(should_fail, "refused to join items that all have a text form");
  }
  for (const auto& [list, length] : script.census()) {
    Check(list->size() == length, "joining changed a list it was given");
  }
  return 0;
}
