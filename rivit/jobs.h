// The companion's long work as jobs that a front runs but never shapes. A
// job owns every rule of its work: how far a slice goes, when the work
// stops (on steps, on a budget of seconds, on a proven bound), how two
// searches race, how the pieces of a count are dealt out. The front only
// asks for the next slice, on one thread or two, on one Worker or two, in
// any order, and shows the progress a job reports.
//
// Guarantee: a job's result does not depend on how it was scheduled; a job
// by steps gives the same rows on every build. Jobs read no clock: a front
// that searches by time passes in the seconds since the work began.

#ifndef ERILAISETRIVIT_RIVIT_JOBS_H_
#define ERILAISETRIVIT_RIVIT_JOBS_H_

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "rivit/odds.h"
#include "rivit/optimise.h"
#include "rivit/tier_odds.h"
#include "rivit/wheel.h"

namespace rivit {

// The two searches of a request for rows (optimise.h) raced, each a lane
// taken a slice at a time. A lane whose rows prove best caps the other at
// its steps, since the other cannot win after more; the result is better_of
// the two lanes' rows.
//
// A race runs in one of two ways:
// - in one memory: both lanes of one race, in turns on one thread or at once
//   on two threads, each advancing its own lane (only the calls that name a
//   lane may run at once, and never two for the same lane);
// - in two (Workers): a copy of the race in each, each advancing one lane.
//   The front carries each finished lane's news() to the other copies'
//   hear(); the proof in it caps the lane still running, and a copy that has
//   heard both lanes gives the result.
class RowsRace {
 public:
  // REQUIRES: within_limits(request.lottery), 1 <= request.rows <= kMostRows.
  // A lane's search is built when it first advances.
  explicit RowsRace(const RowSearch& request);
  ~RowsRace();
  RowsRace(const RowsRace&) = delete;
  RowsRace& operator=(const RowsRace&) = delete;

  // Takes lane `which`'s next slice, under the cap the race knows: about 40
  // ms of work (steps_per_slice), so that a front answers its stop at once.
  // `elapsed`: for a search by time, the seconds since the race began.
  // REQUIRES: 0 <= which < kSearches, !done(which).
  void advance(int which, double elapsed = 0);
  // Lane `which` has ended here, or its news was heard.
  bool done(int which) const;
  // How much of lane `which`'s steps, or of the time, is spent: 0 to 1.
  double share_done(int which, double elapsed) const;
  // Lane `which`'s best score so far; nothing while its start is built.
  std::optional<Score> best_score(int which) const;
  std::uint64_t steps_taken(int which) const;

  // What lane `which` tells the race's other copies: its rows, their score,
  // steps and proof, in text that only hear() reads. REQUIRES: done(which).
  std::string news(int which) const;
  // Takes the news of a lane that ended in another copy. False, and nothing
  // taken, for text that is no lane's news for rows of this request.
  bool hear(std::string_view news);

  // The rows kept of the two lanes'. REQUIRES: done(0) and done(1).
  FoundRows result() const;

 private:
  void finish(int which, FoundRows found);

  RowSearch request_;
  std::array<std::optional<RowsSearch>, kSearches> lanes_;
  std::array<std::optional<FoundRows>, kSearches> found_;
  // The fewest steps after which a lane's rows proved best.
  std::atomic<std::uint64_t> proven_at_;
};

// Both lanes of the race to their end, one after the other, on the calling
// thread. REQUIRES: as RowsRace's; !request.seconds.
FoundRows find_rows(const RowSearch& request);

// A wheel search (wheel.h) run to its end: for `steps` steps
// (default_wheel_steps when nothing), or for `seconds` when they are given,
// ending early when its rows are proven fewest.
class WheelJob {
 public:
  // REQUIRES: no wheel_request_error(request).
  WheelJob(const WheelRequest& request, std::optional<std::uint64_t> steps, std::optional<double> seconds);

  // Takes the next slice: a 64th of the steps or of the default steps,
  // whichever are fewer, and at most kWheelSlice; a few hundredths of a
  // second, whatever a step costs. With `elapsed` past the seconds, it ends
  // instead. REQUIRES: !done().
  void advance(double elapsed = 0);
  bool done() const;
  // How much of the steps, or of the time, is spent: 0 to 1.
  double share_done(double elapsed) const;
  const WheelResult& best() const { return search_.best(); }
  std::uint64_t steps_taken() const { return search_.steps_taken(); }

  static constexpr std::uint64_t kWheelSlice = 20000;

 private:
  WheelSearch search_;
  std::uint64_t last_step_ = 0;  // the last step it may take
  std::uint64_t slice_ = 1;
  std::optional<double> seconds_;
  bool time_up_ = false;
};

// The work of piece i of a count, by which its pieces are dealt out.
std::uint64_t piece_work(const OddsCount& count, std::size_t i);
std::uint64_t piece_work(const TierCount& count, std::size_t i);

// One counter's share of a count (odds.h, tier_odds.h) that `counters`
// counters count between them. The pieces are dealt in their order, each to
// the counter with the least work dealt so far (the first on a tie): an
// even deal, the same every time, that a share makes alone, so that each
// may run on a thread or in a Worker of its own. The shares' tallies summed
// (summed()) are the count's, however and in whatever order they ran.
template <typename Count>
class CountShare {
 public:
  using Tally = std::remove_cvref_t<decltype(std::declval<const typename Count::Counter&>().tally())>;

  // REQUIRES: `count` outlives the share, 0 <= which < counters.
  CountShare(const Count& count, std::size_t counters, std::size_t which);

  // Counts the next of its pieces. REQUIRES: !done().
  void advance();
  bool done() const { return next_ == pieces_.size(); }
  // How much of its work is counted: 0 to 1.
  double share_done() const;
  const Tally& tally() const { return counter_.tally(); }

 private:
  const Count* count_;
  std::vector<std::size_t> pieces_;
  std::size_t next_ = 0;
  std::uint64_t work_ = 0;
  std::uint64_t work_done_ = 0;
  typename Count::Counter counter_;
};

// The tallies of every share of a count, summed.
template <typename Count>
typename CountShare<Count>::Tally summed(const std::vector<CountShare<Count>>& shares);

extern template class CountShare<OddsCount>;
extern template class CountShare<TierCount>;
extern template CountShare<OddsCount>::Tally summed(const std::vector<CountShare<OddsCount>>&);
extern template CountShare<TierCount>::Tally summed(const std::vector<CountShare<TierCount>>&);

}  // namespace rivit

#endif  // ERILAISETRIVIT_RIVIT_JOBS_H_
