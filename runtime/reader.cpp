#include "runtime/reader.h"

#include <array>
#include <cstddef>
#include <string>

#include "runtime/error.h"

namespace rt {

namespace {

enum class Token { kOpen, kClose, kInteger, kEnd };

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The reader's one state: the text and the place in it, and the value of the
// last integer token.
class Reader {
 public:
  explicit Reader(std::string_view text) : text_(text) {}

  Value ReadAll() {
    auto top = MakeList();
    // The groups not yet closed, innermost last: each is held by the list it
    // was read in, and so in the end by `top`.
    constexpr auto kMaxDepth = static_cast<std::size_t>(kMaxReadDepth);
    std::array<List*, kMaxDepth> open = {};
    std::size_t depth = 0;
    for (Token t = Next(); t != Token::kEnd; t = Next()) {
      List& current = depth == 0 ? *top : *open[depth - 1];
      switch (t) {
        case Token::kOpen: {
          if (depth == kMaxDepth) Fail("brackets nested deeper than " + std::to_string(kMaxReadDepth));
          auto group = MakeList();
          current.Push(group);
          open[depth++] = &*group;
          break;
        }
        case Token::kClose:
          if (depth == 0) Fail("a ']' closes no '['");
          --depth;
          break;
        case Token::kInteger:
          current.Push(integer_);
          break;
        case Token::kEnd:
          break;
      }
    }
    if (depth != 0) Fail("a '[' is never closed");
    if (top->size() == 0) Fail("the text holds no value");
    return top;
  }

 private:
  Token Next() {
    while (pos_ < text_.size() && IsSpace(text_[pos_])) ++pos_;
    start_ = pos_;
    if (pos_ == text_.size()) return Token::kEnd;
    const char c = text_[pos_];
    if (c == '[') return ++pos_, Token::kOpen;
    if (c == ']') return ++pos_, Token::kClose;
    if (IsDigit(c) || (c == '-' && pos_ + 1 < text_.size() && IsDigit(text_[pos_ + 1]))) {
      return ReadInteger();
    }
    Fail("a stray byte " + std::to_string(static_cast<unsigned char>(c)));
  }

  Token ReadInteger() {
    const bool negative = text_[pos_] == '-';
    if (negative) ++pos_;
    // Accumulated as a negative number, whose range holds INT64_MIN.
    Integer value = 0;
    for (; pos_ < text_.size() && IsDigit(text_[pos_]); ++pos_) {
      const Integer digit = text_[pos_] - '0';
      if (__builtin_mul_overflow(value, 10, &value) || __builtin_sub_overflow(value, digit, &value)) {
        Fail("an integer out of range");
      }
    }
    if (pos_ < text_.size() && !IsSpace(text_[pos_]) && text_[pos_] != '[' && text_[pos_] != ']') {
      start_ = pos_;
      Fail("a stray byte " + std::to_string(static_cast<unsigned char>(text_[pos_])) + " after an integer");
    }
    if (!negative && __builtin_mul_overflow(value, -1, &value)) Fail("an integer out of range");
    integer_ = value;
    return Token::kInteger;
  }

  [[noreturn]] void Fail(const std::string& what) const {
    throw Error("cannot read text as a list: " + what + " at byte " + std::to_string(start_));
  }

  std::string_view text_;
  std::size_t pos_ = 0;
  std::size_t start_ = 0;
  Integer integer_ = 0;
};

}  // namespace

Value ReadList(std::string_view text) {
  if (text.size() > kMaxReadLength) {
    throw Error("cannot read text as a list: longer than " + std::to_string(kMaxReadLength) + " bytes");
  }
  return Reader(text).ReadAll();
}

}  // namespace rt
