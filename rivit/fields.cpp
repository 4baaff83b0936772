#include "rivit/fields.h"

#include <charconv>
#include <cstdint>
#include <utility>

namespace rivit {

namespace {

constexpr std::string_view kBlanks = " \t";
constexpr std::string_view kSeparators = ",;";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::size_t kLongestQuotedField = 20;  // characters

std::size_t skip_blanks(std::string_view text, std::size_t position) {
  return std::min(text.find_first_not_of(kBlanks, position), text.size());
}

bool is_in(std::string_view characters, char c) { return characters.find(c) != std::string_view::npos; }

// The length of the UTF-8 sequence of a printable character at the start of
// `text`, or 0 for a byte that starts none: a control character, a stray
// continuation byte, an overlong or truncated sequence, a surrogate.
std::size_t printable_sequence(std::string_view text) {
  const auto byte = [&text](std::size_t i) { return static_cast<std::uint8_t>(text[i]); };
  const std::uint8_t lead = byte(0);
  if (lead >= 0x20 && lead < 0x7F) return 1;
  const std::size_t length = lead >= 0xC2 && lead < 0xE0   ? 2
                             : lead >= 0xE0 && lead < 0xF0 ? 3
                             : lead >= 0xF0 && lead < 0xF5 ? 4
                                                           : 0;
  if (length == 0 || text.size() < length) return 0;
  std::uint32_t code = lead & (0x7FU >> length);
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(i) & 0xC0U) != 0x80U) return 0;
    code = code << 6 | (byte(i) & 0x3FU);
  }
  constexpr std::uint32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
  const bool valid = code >= kLeast[length] && code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF);
  return valid && code >= 0xA0 ? length : 0;
}

}  // namespace

std::optional<std::string> split_fields(std::string_view line, std::string_view alone, Fields& fields) {
  fields.clear();
  const auto ends_field = [alone](char c) { return is_in(kBlanks, c) || is_in(kSeparators, c) || is_in(alone, c); };
  for (std::size_t i = skip_blanks(line, 0);;) {
    std::size_t end = i;
    if (i < line.size() && is_in(alone, line[i])) {
      ++end;
    } else {
      while (end < line.size() && !ends_field(line[end])) ++end;
    }
    if (end == i) return "a field is empty";
    fields.push_back(line.substr(i, end - i));
    i = skip_blanks(line, end);
    if (i == line.size()) return std::nullopt;
    if (is_in(kSeparators, line[i])) i = skip_blanks(line, i + 1);
  }
}

std::string quoted_field(std::string_view field) {
  std::string shown = "\"";
  std::size_t characters = 0;
  while (!field.empty() && characters < kLongestQuotedField) {
    const std::size_t length = printable_sequence(field);
    if (length == 0) {
      constexpr char kHex[] = "0123456789ABCDEF";
      const auto byte = static_cast<std::uint8_t>(field.front());
      shown += {'\\', 'x', kHex[byte >> 4], kHex[byte & 0xF]};
      field.remove_prefix(1);
    } else {
      shown += field.substr(0, length);
      field.remove_prefix(length);
    }
    ++characters;
  }
  return shown + (field.empty() ? "\"" : "...\"");
}

std::optional<std::string> parse_number(std::string_view field, int most, int& number) {
  const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), number);
  if (end != field.data() + field.size()) return quoted_field(field) + " is not a number";
  if (error != std::errc() || number < 1 || number > most) {
    return std::string(field) + " is not from 1 to " + std::to_string(most);
  }
  return std::nullopt;
}

std::string numbers_count(std::size_t count) { return std::to_string(count) + (count == 1 ? " number" : " numbers"); }

LineFilter::LineFilter(std::string header) : header_(std::move(header)) {}

std::optional<std::string_view> LineFilter::data(std::string_view line) {
  if (++lines_ == 1 && line.starts_with(kByteOrderMark)) line.remove_prefix(kByteOrderMark.size());
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  const std::size_t start = skip_blanks(line, 0);
  if (start == line.size() || line[start] == '#') return std::nullopt;
  if (std::exchange(before_data_, false) && line.substr(start) == header_) return std::nullopt;
  return line;
}

}  // namespace rivit
