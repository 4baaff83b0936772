// Fuzzes reading text as a list. Whatever the bytes, the reader must either
// give a list or raise rt::Error; a crash, a sanitizer report, any other
// exception, a timeout or growing memory is a fault. Beyond that, its verdict
// is checked against a plain scan written apart from it (Readable below),
// and what it reads must survive being written back as text: read again, the
// written text gives the same structure, and writing that is a fixed point.

#include <algorithm>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "runtime/error.h"
#include "runtime/operations.h"
#include "runtime/reader.h"
#include "runtime/value.h"

namespace {

void Check(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "read_list_fuzzer: %s\n", what);
  std::abort();
}

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool EndsInteger(std::string_view text, std::size_t pos) {
  return pos == text.size() || IsSpace(text[pos]) || text[pos] == '[' || text[pos] == ']';
}

// What the reader should make of `text`, decided token by token without
// building anything: whether it reads, and if so how many values stand at
// the top level. Integers are checked by std::from_chars, not by the
// reader's own accumulation.
struct Verdict {
  bool readable = false;
  std::size_t top_values = 0;
};

Verdict Readable(std::string_view text) {
  if (text.size() > rt::kMaxReadLength) return {};
  Verdict verdict;
  int depth = 0;
  std::size_t pos = 0;
  while (pos < text.size()) {
    const char c = text[pos];
    if (IsSpace(c)) {
      ++pos;
      continue;
    }
    if (depth == 0 && c != ']') ++verdict.top_values;
    if (c == '[') {
      if (++depth > rt::kMaxReadDepth) return {};
      ++pos;
    } else if (c == ']') {
      if (--depth < 0) return {};
      ++pos;
    } else {
      const std::size_t start = pos;
      if (c == '-') ++pos;
      if (pos == text.size() || !IsDigit(text[pos])) return {};
      while (pos < text.size() && IsDigit(text[pos])) ++pos;
      rt::Integer value = 0;
      const auto [end, error] = std::from_chars(text.data() + start, text.data() + pos, value);
      if (error != std::errc() || end != text.data() + pos || !EndsInteger(text, pos)) return {};
    }
  }
  verdict.readable = depth == 0 && verdict.top_values > 0;
  return verdict;
}

// Lists are equal in shape when their elements are, position by position;
// integers when they are equal.
bool SameShape(const rt::Value& a, const rt::Value& b) {
  if (a.is_integer() && b.is_integer()) return a.integer() == b.integer();
  if (!a.is_list() || !b.is_list()) return false;
  const rt::List& x = a.list();
  const rt::List& y = b.list();
  if (x.size() != y.size()) return false;
  for (std::size_t i = 0; i < x.size(); ++i) {
    if (!SameShape(x[i], y[i])) return false;
  }
  return true;
}

// The top-level values as text that the reader reads back to them: each text
// form followed by a space. Not the text form of the whole list, whose outer
// brackets could pass the depth limit.
std::string WriteBack(const rt::List& top) {
  std::string out;
  for (const rt::Value& value : top) {
    out += rt::TextForm(value);
    out += ' ';
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);  // NOLINT
  const Verdict verdict = Readable(text);
  rt::Value read;
  try {
    read = rt::ReadList(text);
  } catch (const rt::Error&) {
    Check(!verdict.readable, "a readable text was refused");
    return 0;
  }
  Check(verdict.readable, "an unreadable text was read");
  Check(read.is_list() && read.list().size() == verdict.top_values, "the wrong number of top-level values");

  const std::string written = WriteBack(read.list());
  rt::Value reread;
  try {
    reread = rt::ReadList(written);
  } catch (const rt::Error&) {
    Check(false, "what was read does not read back from its text form");
  }
  Check(SameShape(read, reread), "read back from its text form, a list changed shape");
  Check(WriteBack(reread.list()) == written, "the text form is not a fixed point");
  return 0;
}
