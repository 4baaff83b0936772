// The companion's long work, scheduled on the machine's cores: the library
// hands it out as resumable searches and pieces of counts, and these run
// them on two threads, showing a progress line meanwhile. The results are
// the library's own for the same inputs, however the threads ran.

#ifndef ERILAISETRIVIT_CLI_SCHEDULE_H_
#define ERILAISETRIVIT_CLI_SCHEDULE_H_

#include <span>

#include "cli/progress.h"
#include "rivit/odds.h"
#include "rivit/optimise.h"

namespace cli {

// The two searches of `request` at once, one a thread; a search by time ends
// when request.seconds have passed since `progress` was made.
rivit::FoundRows search_rows(const rivit::RowSearch& request, ProgressLine& progress);

// The odds of `rows`, its pieces shared out between two threads.
rivit::Odds count_odds(std::span<const rivit::RowMask> rows, rivit::Lottery lottery, ProgressLine& progress);

}  // namespace cli

#endif  // ERILAISETRIVIT_CLI_SCHEDULE_H_
