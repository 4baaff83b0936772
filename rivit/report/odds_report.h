// The odds of a set of rows (odds.h) as the command writes them, one writer
// per output format:
//   text  a small aligned table: for each k the draws whose best row has
//         exactly k right, the share of draws with at least k right and that
//         share as "1 in X"; then the guaranteed minimum and the balance of
//         the numbers (how many rows hold each, the least and most used);
//   csv   a header, then one line per k;
//   json  one object: rows, numbers, length, draws, best, guaranteed,
//         balance, and the share of draws with at least k right.

#ifndef ERILAISETRIVIT_RIVIT_REPORT_ODDS_REPORT_H_
#define ERILAISETRIVIT_RIVIT_REPORT_ODDS_REPORT_H_

#include "rivit/odds.h"
#include "runtime/output.h"

namespace rivit {

void write_odds_text(const Odds& odds, rt::LineSink& out);
void write_odds_csv(const Odds& odds, rt::LineSink& out);
void write_odds_json(const Odds& odds, rt::LineSink& out);

}  // namespace rivit

#endif  // ERILAISETRIVIT_RIVIT_REPORT_ODDS_REPORT_H_
