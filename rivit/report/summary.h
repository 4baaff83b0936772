// The one-line summaries that the fronts write beside what a search found or
// a check counted: the rows search's and the wheel search's, a score, a time
// and a guarantee's check. They are the same words on the command and on the
// page, and nothing but words: the figures come from the library's results.

#ifndef ERILAISETRIVIT_RIVIT_REPORT_SUMMARY_H_
#define ERILAISETRIVIT_RIVIT_REPORT_SUMMARY_H_

#include <cstdint>
#include <string>

#include "rivit/guarantee.h"
#include "rivit/lottery.h"
#include "rivit/optimise.h"
#include "rivit/wheel.h"

namespace rivit {

// A search's time as its summary gives it: "0.08 s".
std::string seconds_text(double seconds);

// "largest shared 1, pairs at it 180, usage range 1".
std::string score_text(const Score& score);
// The line that tells what the rows found are worth, and what finding them
// took: "rows: 20, largest shared 1, pairs at it 180, usage range 1 (no rows
// do better); 285 steps, 0.00 s".
std::string found_rows_summary(const FoundRows& found, double seconds);

// "guarantee: 3 if 4 on 12 numbers: holds", or "...: fails for 5 of 495 sets
// of 4, e.g. 1 4 7 9".
std::string guarantee_text(const GuaranteeCheck& check);

// What a wheel search found: "rows: 15, guarantee 3 if 4 on 12 numbers
// holds, lower bound 9"; or for rows that leave sets uncovered "rows: 10,
// guarantee 3 if 4 on 12 numbers: 12 of 495 sets of 4 left uncovered,
// 97.5758 % covered, lower bound 9"; and " (no fewer rows can do it)" where
// the rows are the bound.
std::string wheel_summary(const WheelResult& wheel, Guarantee guarantee, int pool_numbers);
// The line written beside a wheel search's rows: its wheel_summary, then
// what finding them took, "; 4096 steps, 0.31 s".
std::string wheel_search_summary(const WheelResult& wheel, Guarantee guarantee, int pool_numbers, std::uint64_t steps,
                                 double seconds);

}  // namespace rivit

#endif  // ERILAISETRIVIT_RIVIT_REPORT_SUMMARY_H_
