#include "rivit/jobs.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cstddef>
#include <limits>

namespace rivit {

namespace {

constexpr std::uint64_t kNoCap = std::numeric_limits<std::uint64_t>::max();
// A wheel's slice is a 64th of its steps or of its default steps.
constexpr std::uint64_t kWheelSlicesOfSteps = 64;
// The word that opens a lane's news.
constexpr std::string_view kNewsWord = "rows";

// Reads the decimal numbers of `text`, separated by single spaces, into
// `numbers`; false when there is anything else.
bool read_numbers(std::string_view text, std::vector<std::uint64_t>& numbers) {
  const char* at = text.data();
  const char* const end = text.data() + text.size();
  while (at != end) {
    if (*at++ != ' ') return false;
    std::uint64_t number = 0;
    const auto [after, error] = std::from_chars(at, end, number);
    if (error != std::errc()) return false;
    numbers.push_back(number);
    at = after;
  }
  return true;
}

double share(std::uint64_t done, std::uint64_t of) {
  return of == 0 ? 1 : std::min(1.0, static_cast<double>(done) / static_cast<double>(of));
}

}  // namespace

RowsRace::RowsRace(const RowSearch& request) : request_(request), proven_at_(kNoCap) {}
RowsRace::~RowsRace() = default;

void RowsRace::advance(int which, double elapsed) {
  std::optional<RowsSearch>& lane = lanes_.at(static_cast<std::size_t>(which));
  if (!lane) lane.emplace(request_, which);
  lane->cap(proven_at_.load());
  lane->advance(steps_per_slice(request_.rows), elapsed);
  if (lane->done()) finish(which, lane->result());
}

void RowsRace::finish(int which, FoundRows found) {
  const bool proven = found.proven_best;
  const std::uint64_t steps = found.steps_taken;
  found_.at(static_cast<std::size_t>(which)) = std::move(found);
  if (!proven) return;
  std::uint64_t fewest = proven_at_.load();
  while (steps < fewest && !proven_at_.compare_exchange_weak(fewest, steps)) {
  }
}

bool RowsRace::done(int which) const { return found_.at(static_cast<std::size_t>(which)).has_value(); }

double RowsRace::share_done(int which, double elapsed) const {
  if (done(which)) return 1;
  if (request_.seconds) return *request_.seconds > 0 ? std::min(1.0, elapsed / *request_.seconds) : 1;
  return share(steps_taken(which), request_.steps);
}

std::optional<Score> RowsRace::best_score(int which) const {
  const auto lane = static_cast<std::size_t>(which);
  if (lanes_.at(lane)) return lanes_[lane]->best_score();
  if (found_.at(lane)) return found_[lane]->score;
  return std::nullopt;
}

std::uint64_t RowsRace::steps_taken(int which) const {
  const auto lane = static_cast<std::size_t>(which);
  if (lanes_.at(lane)) return lanes_[lane]->steps_taken();
  return found_.at(lane) ? found_[lane]->steps_taken : 0;
}

// "rows <which> <steps> <proven> <largest shared> <pairs at it> <usage range>
// <row mask>...", in decimal.
std::string RowsRace::news(int which) const {
  const FoundRows& found = *found_.at(static_cast<std::size_t>(which));
  std::string text(kNewsWord);
  for (const std::uint64_t number :
       {static_cast<std::uint64_t>(which), found.steps_taken, std::uint64_t{found.proven_best},
        static_cast<std::uint64_t>(found.score.largest_shared), found.score.pairs_at_largest,
        static_cast<std::uint64_t>(found.score.usage_range)}) {
    text.append(" ").append(std::to_string(number));
  }
  for (const RowMask row : found.rows) text.append(" ").append(std::to_string(row));
  return text;
}

bool RowsRace::hear(std::string_view news) {
  constexpr std::size_t kHead = 6;
  std::vector<std::uint64_t> numbers;
  if (!news.starts_with(kNewsWord) || !read_numbers(news.substr(kNewsWord.size()), numbers)) return false;
  if (numbers.size() != kHead + request_.rows || numbers[0] >= kSearches || numbers[2] > 1) return false;
  const auto rows = numbers.begin() + static_cast<std::ptrdiff_t>(kHead);
  const RowMask outside = request_.lottery.numbers == kMostNumbers ? 0 : ~RowMask{0} << request_.lottery.numbers;
  const auto of_lottery = [&](std::uint64_t row) {
    return (row & outside) == 0 && std::popcount(row) == request_.lottery.length;
  };
  if (!std::all_of(rows, numbers.end(), of_lottery)) return false;
  if (numbers[3] > static_cast<std::uint64_t>(request_.lottery.length) || numbers[5] > request_.rows) return false;
  FoundRows found{.rows = {rows, numbers.end()},
                  .score = {.largest_shared = static_cast<int>(numbers[3]),
                            .pairs_at_largest = numbers[4],
                            .usage_range = static_cast<int>(numbers[5])},
                  .steps_taken = numbers[1],
                  .proven_best = numbers[2] == 1};
  finish(static_cast<int>(numbers[0]), std::move(found));
  return true;
}

FoundRows RowsRace::result() const { return better_of(*found_[0], *found_[1]); }

FoundRows find_rows(const RowSearch& request) {
  RowsRace race(request);
  for (int which = 0; which < kSearches; ++which) {
    while (!race.done(which)) race.advance(which);
  }
  return race.result();
}

WheelJob::WheelJob(const WheelRequest& request, std::optional<std::uint64_t> steps, std::optional<double> seconds)
    : search_(request), seconds_(seconds) {
  const std::uint64_t default_steps = default_wheel_steps(request);
  last_step_ = seconds ? kNoCap : steps.value_or(default_steps);
  slice_ = std::max<std::uint64_t>(1, std::min(std::min(last_step_, default_steps) / kWheelSlicesOfSteps, kWheelSlice));
}

void WheelJob::advance(double elapsed) {
  if (seconds_ && elapsed >= *seconds_) {
    time_up_ = true;
    return;
  }
  search_.advance(std::min(slice_, last_step_ - search_.steps_taken()));
}

bool WheelJob::done() const { return time_up_ || search_.done() || search_.steps_taken() >= last_step_; }

double WheelJob::share_done(double elapsed) const {
  if (done()) return 1;
  if (seconds_) return *seconds_ > 0 ? std::min(1.0, elapsed / *seconds_) : 1;
  return share(search_.steps_taken(), last_step_);
}

std::uint64_t piece_work(const OddsCount& count, std::size_t i) { return count.draws_of(i); }
std::uint64_t piece_work(const TierCount& count, std::size_t i) { return count.work_of(i); }

template <typename Count>
CountShare<Count>::CountShare(const Count& count, std::size_t counters, std::size_t which)
    : count_(&count), counter_(count) {
  std::vector<std::uint64_t> dealt(counters);
  for (std::size_t i = 0; i < count.pieces(); ++i) {
    const auto to = static_cast<std::size_t>(std::min_element(dealt.begin(), dealt.end()) - dealt.begin());
    const std::uint64_t work = piece_work(count, i);
    dealt[to] += work;
    if (to != which) continue;
    pieces_.push_back(i);
    work_ += work;
  }
}

template <typename Count>
void CountShare<Count>::advance() {
  const std::size_t piece = pieces_[next_++];
  counter_.count(piece);
  work_done_ += piece_work(*count_, piece);
}

template <typename Count>
double CountShare<Count>::share_done() const {
  return share(work_done_, work_);
}

template <typename Count>
typename CountShare<Count>::Tally summed(const std::vector<CountShare<Count>>& shares) {
  typename CountShare<Count>::Tally sum;
  for (const CountShare<Count>& each : shares) sum.add(each.tally());
  return sum;
}

template class CountShare<OddsCount>;
template class CountShare<TierCount>;
template CountShare<OddsCount>::Tally summed(const std::vector<CountShare<OddsCount>>&);
template CountShare<TierCount>::Tally summed(const std::vector<CountShare<TierCount>>&);

}  // namespace rivit
