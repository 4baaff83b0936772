// Writing rows for people and for other programs, one line at a time:
//   text  "4 17 23 1 38 9 30", the numbers separated by single spaces;
//   csv   the header "n1,n2,n3,n4,n5,n6,n7", then "4,17,23,1,38,9,30";
//   json  an array of arrays of numbers, one row a line between "[" and "]".
// The numbers keep the row's order unless they are asked for sorted.

#ifndef ERILAISETRIVIT_RIVIT_FORMAT_H_
#define ERILAISETRIVIT_RIVIT_FORMAT_H_

#include <span>
#include <string_view>

#include "rivit/row.h"
#include "runtime/output.h"

namespace rivit {

enum class Format { kText, kCsv, kJson };

inline constexpr std::string_view kCsvHeader = "n1,n2,n3,n4,n5,n6,n7";

void write_rows(std::span<const Row> rows, Format format, bool sorted, rt::LineSink& out);

}  // namespace rivit

#endif  // ERILAISETRIVIT_RIVIT_FORMAT_H_
