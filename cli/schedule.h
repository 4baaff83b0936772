// The companion's long work, scheduled on the machine's cores: the library
// hands it out as resumable searches and pieces of counts, and these run
// them on two threads, showing a progress line meanwhile. The results are
// the library's own for the same inputs, however the threads ran.

#ifndef ERILAISETRIVIT_CLI_SCHEDULE_H_
#define ERILAISETRIVIT_CLI_SCHEDULE_H_

#include <cstdint>
#include <optional>
#include <span>

#include "cli/progress.h"
#include "rivit/odds.h"
#include "rivit/optimise.h"
#include "rivit/tier_odds.h"
#include "rivit/wheel.h"

namespace cli {

// The two searches of `request` at once, one a thread; a search by time ends
// when request.seconds have passed since `progress` was made.
rivit::FoundRows search_rows(const rivit::RowSearch& request, ProgressLine& progress);

// Every piece of `count`, shared out between two threads, and their tallies
// summed.
rivit::Tally count_pieces(const rivit::OddsCount& count, ProgressLine& progress);
rivit::TierTally count_pieces(const rivit::TierCount& count, ProgressLine& progress);

struct FoundWheel {
  rivit::WheelResult wheel;
  std::uint64_t steps = 0;
};

// The wheel search of `request` for `steps` steps (default_wheel_steps when
// nothing), or for `seconds`; it ends early when its rows are proven fewest.
FoundWheel search_wheel(const rivit::WheelRequest& request, std::optional<std::uint64_t> steps,
                        std::optional<double> seconds, ProgressLine& progress);

}  // namespace cli

#endif  // ERILAISETRIVIT_CLI_SCHEDULE_H_
