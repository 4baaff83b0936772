// The companion's long work, scheduled on the machine's cores: the library
// hands it out as jobs (rivit/jobs.h) that own every rule of the work, and
// these run them on two threads, showing a progress line meanwhile. The
// results are the library's own for the same inputs, however the threads
// ran.

#ifndef ERILAISETRIVIT_CLI_SCHEDULE_H_
#define ERILAISETRIVIT_CLI_SCHEDULE_H_

#include "cli/progress.h"
#include "rivit/jobs.h"

namespace cli {

// The race of the two searches of `request`, a lane a thread; a search by
// time ends when request.seconds have passed since `progress` was made.
rivit::FoundRows search_rows(const rivit::RowSearch& request, ProgressLine& progress);

// The count shared out between two threads, and their tallies summed.
rivit::Tally count_pieces(const rivit::OddsCount& count, ProgressLine& progress);
rivit::TierTally count_pieces(const rivit::TierCount& count, ProgressLine& progress);

// The wheel search of `job` to its end; its time, if it is by time, runs
// from when `progress` was made.
void search_wheel(rivit::WheelJob& job, ProgressLine& progress);

}  // namespace cli

#endif  // ERILAISETRIVIT_CLI_SCHEDULE_H_
