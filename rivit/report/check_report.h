// The check of a set of rows (check.h) written in each output format:
//   text  "rows: 44", "most shared: 2", "pair: lines 3 and 10";
//   csv   the header "rows,most_shared,first_line,second_line", then one line;
//   json  {"rows":44,"most_shared":2,"pair":[3,10]}.
// Fewer than two rows share nothing: the text says so, CSV leaves the fields
// empty and JSON writes null. The check of a guarantee adds a line to the
// text ("guarantee: 3 if 4 on 12 numbers: holds"), columns to the CSV
// (right,if_drawn,pool_numbers,sets,failing_sets,example) and an object
// "guarantee" to the JSON.

#ifndef ERILAISETRIVIT_RIVIT_REPORT_CHECK_REPORT_H_
#define ERILAISETRIVIT_RIVIT_REPORT_CHECK_REPORT_H_

#include "rivit/check.h"
#include "runtime/output.h"

namespace rivit {

void write_check_text(const RowsCheck& check, rt::LineSink& out);
void write_check_csv(const RowsCheck& check, rt::LineSink& out);
void write_check_json(const RowsCheck& check, rt::LineSink& out);

}  // namespace rivit

#endif  // ERILAISETRIVIT_RIVIT_REPORT_CHECK_REPORT_H_
