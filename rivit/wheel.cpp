#include "rivit/wheel.h"

#include <algorithm>
#include <bit>
#include <numeric>
#include <utility>

#include "rivit/internal/cover_search.h"
#include "rivit/internal/golay.h"
#include "rivit/internal/local_search.h"

namespace rivit {
namespace {

constexpr std::uint64_t ceil_div(std::uint64_t a, std::uint64_t b) { return (a + b - 1) / b; }

std::uint64_t schoenheim(int v, int k, int t) {
  if (t == 0) return 1;
  return ceil_div(static_cast<std::uint64_t>(v) * schoenheim(v - 1, k - 1, t - 1), static_cast<std::uint64_t>(k));
}

// The least edges of a t-uniform hypergraph on v points whose every m-set
// holds an edge, from below (see wheel_lower_bound).
std::uint64_t least_edges(int v, Guarantee g) {
  if (g.right == 2) {
    const auto parts = static_cast<std::uint64_t>(g.if_drawn - 1);
    const auto points = static_cast<std::uint64_t>(v);
    std::uint64_t edges = 0;
    for (std::uint64_t part = 0; part < parts; ++part) {
      const std::uint64_t size = points / parts + (part < points % parts ? 1 : 0);
      edges += size * (size - (size > 0 ? 1 : 0)) / 2;
    }
    return edges;
  }
  std::uint64_t edges = 1;
  for (int n = g.if_drawn + 1; n <= v; ++n) {
    edges = ceil_div(static_cast<std::uint64_t>(n) * edges, static_cast<std::uint64_t>(n - g.right));
  }
  return edges;
}

// Steps for about two seconds when a step touches one m-set, on the machine
// that default_wheel_steps names: 2 to 6 million touches a second were
// measured, from 6 of 10 "4 if 4" to 6 of 22 "3 if 6".
constexpr std::uint64_t kStepsPerTouch = 5'000'000;
constexpr std::uint64_t kFewestDefaultSteps = 100;
constexpr std::uint64_t kMostDefaultSteps = 20'000'000;

// Each search of the whole or of a part takes this many steps in turn, once
// every search has had a first turn of kFirstTurnSteps.
constexpr std::uint64_t kTurnSteps = 1'000;
constexpr std::uint64_t kFirstTurnSteps = 500;

// Parts of every size are searched where they have at most this many m-sets,
// so that the sizes of a split can be chosen by what their searches find.
constexpr std::uint64_t kMostSmallPartSets = std::uint64_t{1} << 15;

struct Part {
  int numbers;
  int if_drawn;
  // (clang-tidy takes the 0 that the defaulted comparison is compared with
  // for a pointer.)
  friend auto operator<=>(const Part&, const Part&) = default;  // NOLINT(modernize-use-nullptr)
};
using Plan = std::vector<Part>;

// The guarantees of the parts: non-decreasing m_i from max(t, 2) with
// sum(m_i - 1) = m - 1, two parts or more. (Any m drawn numbers then put
// m_i into some part; a smaller m_i only makes its part's wheel larger.)
void part_guarantees(Guarantee g, int left, std::vector<int>& chosen, std::vector<std::vector<int>>& all) {
  if (left == 0) {
    if (chosen.size() >= 2) all.push_back(chosen);
    return;
  }
  const int least = std::max({g.right, 2, chosen.empty() ? 0 : chosen.back()});
  for (int drawn = least; drawn - 1 <= left; ++drawn) {
    chosen.push_back(drawn);
    part_guarantees(g, left - (drawn - 1), chosen, all);
    chosen.pop_back();
  }
}

std::vector<std::vector<int>> split_guarantees(Guarantee g) {
  std::vector<std::vector<int>> all;
  std::vector<int> chosen;
  part_guarantees(g, g.if_drawn - 1, chosen, all);
  return all;
}

// The sizes `numbers` split as evenly as can be over the guarantees, the
// larger parts to the larger m_i.
Plan even_plan(int numbers, const std::vector<int>& drawn) {
  Plan plan;
  const auto parts = static_cast<int>(drawn.size());
  for (int i = 0; i < parts; ++i)
    plan.push_back({numbers / parts + (parts - i <= numbers % parts ? 1 : 0), drawn[static_cast<std::size_t>(i)]});
  return plan;
}

bool part_searchable(const Part& part, int length) {
  return part.numbers >= length && choose(part.numbers, part.if_drawn) <= kMostSearchedSets;
}

// A Steiner system of the Golay code that is a wheel of the guarantee on
// `numbers` numbers; none when there is none.
std::vector<RowMask> built_wheel(int numbers, int length, Guarantee g) {
  const bool fits = numbers == length + kGolayLength - kOctadSize && g.right == length - 3 && g.if_drawn == g.right;
  return fits ? golay_steiner_system(length) : std::vector<RowMask>{};
}

// The parts that are searched for splits of the pool: every size of each
// guarantee of a part where it is small, each part of the even splits, and
// a part of m_i = t the size of a Golay Steiner system with the rest split
// evenly. In increasing order.
std::vector<Part> searched_parts(int v, int k, Guarantee g) {
  std::vector<Part> parts;
  const auto keep = [&](const Part& part) {
    if (part_searchable(part, k)) parts.push_back(part);
  };
  const int built = k + kGolayLength - kOctadSize;
  for (const std::vector<int>& drawn : split_guarantees(g)) {
    const int largest = v - k * static_cast<int>(drawn.size() - 1);
    for (const int m : drawn) {
      for (int n = k; n <= largest; ++n) {
        if (choose(n, m) <= kMostSmallPartSets) keep({n, m});
      }
    }
    for (const Part& part : even_plan(v, drawn)) keep(part);
    if (drawn.front() == g.right && v > built && !built_wheel(built, k, {g.right, g.right}).empty()) {
      keep({built, g.right});
      for (const Part& part : even_plan(v - built, std::vector<int>(drawn.begin() + 1, drawn.end()))) keep(part);
    }
  }
  std::sort(parts.begin(), parts.end());
  parts.erase(std::unique(parts.begin(), parts.end()), parts.end());
  return parts;
}

// The sizes of parts of the guarantees `drawn` that add up to v with the
// fewest rows, where rows_of(part) gives a part's rows or none where it is
// not searched; none when no searched sizes add up to v.
template <typename RowsOf>
std::optional<Plan> fewest_split(const std::vector<int>& drawn, int v, int k, RowsOf rows_of) {
  const auto total = static_cast<std::size_t>(v);
  // fewest[i][n]: the fewest rows of the first i parts on n numbers; size[i][n], the i-th part's size there.
  std::vector<std::vector<std::uint64_t>> fewest(drawn.size() + 1, std::vector<std::uint64_t>(total + 1, UINT64_MAX));
  std::vector<std::vector<int>> size(drawn.size() + 1, std::vector<int>(total + 1, 0));
  fewest[0][0] = 0;
  for (std::size_t i = 0; i < drawn.size(); ++i) {
    for (int n = 0; n + k <= v; ++n) {
      const std::uint64_t before = fewest[i][static_cast<std::size_t>(n)];
      if (before == UINT64_MAX) continue;
      for (int s = k; n + s <= v; ++s) {
        const std::optional<std::uint64_t> rows = rows_of(Part{s, drawn[i]});
        const std::size_t at = static_cast<std::size_t>(n) + static_cast<std::size_t>(s);
        if (rows && before + *rows < fewest[i + 1][at]) {
          fewest[i + 1][at] = before + *rows;
          size[i + 1][at] = s;
        }
      }
    }
  }
  if (fewest[drawn.size()][total] == UINT64_MAX) return std::nullopt;
  Plan plan(drawn.size());
  for (std::size_t i = drawn.size(), n = total; i > 0; --i) {
    plan[i - 1] = {size[i][n], drawn[i - 1]};
    n -= static_cast<std::size_t>(size[i][n]);
  }
  return plan;
}

// The m-sets that a step weighs, about: one change touches 2 C(k - 1, t - 1)
// C(v - k - 1, m - t), and a row that takes one change has (k - t + 1) (m -
// t + 1) of them.
std::uint64_t step_touches(int v, int k, Guarantee g) {
  const auto changes =
      static_cast<std::uint64_t>(k - g.right + 1) * static_cast<std::uint64_t>(g.if_drawn - g.right + 1);
  return std::max<std::uint64_t>(1, changes * choose(k - 1, g.right - 1) * choose(v - k - 1, g.if_drawn - g.right));
}

// log2(x) in eighths, from below: 8 for 2, 12 for 3 (2 * 1.5), 16 for 4.
// REQUIRES: x >= 1.
std::uint64_t log2_eighths(std::uint64_t x) {
  const auto whole = static_cast<std::uint64_t>(std::bit_width(x) - 1);
  const std::uint64_t eighth = (whole >= 3 ? x >> (whole - 3) : x << (3 - whole)) & 7;
  return 8 * whole + eighth;
}

int pool_size(const WheelRequest& request) { return std::popcount(request.pool); }

bool whole_searchable(const WheelRequest& request) {
  return choose(pool_size(request), request.guarantee.if_drawn) <= kMostSearchedSets;
}

// The pool's numbers as bit indices of the lottery, lowest first.
std::vector<int> pool_numbers(RowMask pool) {
  std::vector<int> numbers;
  for_each_number(pool, [&](int n) { numbers.push_back(n); });
  return numbers;
}

// Rows of a part's bit indices 0 to size - 1, as the lottery's numbers from
// the pool's `first` onwards.
RowMask placed(RowMask row, const std::vector<int>& numbers, std::size_t first) {
  RowMask mask = 0;
  for_each_number(row, [&](int n) { mask |= RowMask{1} << numbers[first + static_cast<std::size_t>(n)]; });
  return mask;
}

}  // namespace

std::uint64_t wheel_lower_bound(int v, int k, Guarantee g) {
  if (g.right == g.if_drawn) return schoenheim(v, k, g.right);
  const std::uint64_t numbers = ceil_div(
      static_cast<std::uint64_t>(v) - static_cast<std::uint64_t>(g.if_drawn - g.right), static_cast<std::uint64_t>(k));
  // A row holds C(k, t) >= 1 of the t-sets where the REQUIRES hold; the
  // static analyzer cannot see them, so the divisor is held to 1 at least.
  const std::uint64_t edges = ceil_div(least_edges(v, g), std::max<std::uint64_t>(1, choose(k, g.right)));
  return std::max({std::uint64_t{1}, numbers, edges});
}

std::optional<std::string> wheel_request_error(const WheelRequest& request) {
  const Lottery lottery = request.lottery;
  if (!within_limits(lottery)) {
    return "a lottery of " + std::to_string(lottery.length) + " of " + std::to_string(lottery.numbers) +
           " is outside the limits";
  }
  if ((request.pool & ~all_numbers(lottery)) != 0) {
    return "the pool holds numbers above " + std::to_string(lottery.numbers);
  }
  const int v = pool_size(request);
  if (v < lottery.length) {
    return "the pool has " + std::to_string(v) + " numbers, fewer than a row's " + std::to_string(lottery.length);
  }
  const Guarantee g = request.guarantee;
  if (g.right < 1 || g.right > g.if_drawn || g.if_drawn > lottery.length) {
    return "a guarantee of " + std::to_string(g.right) + " if " + std::to_string(g.if_drawn) +
           " needs 1 <= right <= drawn <= " + std::to_string(lottery.length);
  }
  if (request.rows && (*request.rows < 1 || *request.rows > kMostWheelRows)) {
    return "a budget of rows is from 1 to " + std::to_string(kMostWheelRows);
  }
  if (whole_searchable(request)) return std::nullopt;
  const std::string sets = "the pool's " + std::to_string(choose(v, g.if_drawn)) + " sets of " +
                           std::to_string(g.if_drawn) + " are more than the " + std::to_string(kMostSearchedSets) +
                           " that a search counts";
  if (request.rows) return sets + ", and a budget of rows is searched only whole";
  const std::vector<Part> parts = searched_parts(v, lottery.length, g);
  const auto searched = [&](const Part& part) {
    return std::binary_search(parts.begin(), parts.end(), part) ? std::optional<std::uint64_t>{1} : std::nullopt;
  };
  const std::vector<std::vector<int>> guarantees = split_guarantees(g);
  if (std::none_of(guarantees.begin(), guarantees.end(), [&](const std::vector<int>& drawn) {
        return fewest_split(drawn, v, lottery.length, searched).has_value();
      })) {
    return sets + ", and no split of the pool into parts is smaller";
  }
  return std::nullopt;
}

std::uint64_t default_wheel_steps(const WheelRequest& request) {
  const int v = pool_size(request);
  const int k = request.lottery.length;
  const Guarantee g = request.guarantee;
  // The searches take turns, of small parts that soon have their fewest
  // rows and of large ones: a step costs about the geometric mean of theirs,
  // taken in eighths of a power of two so that every build agrees.
  std::uint64_t eighths = 0;
  std::uint64_t searches = 0;
  const auto add = [&](std::uint64_t touches) {
    eighths += log2_eighths(touches);
    ++searches;
  };
  if (whole_searchable(request)) add(step_touches(v, k, g));
  if (!request.rows) {
    for (const Part& part : searched_parts(v, k, g)) add(step_touches(part.numbers, k, {g.right, part.if_drawn}));
  }
  const std::uint64_t mean = eighths / std::max<std::uint64_t>(1, searches);
  const std::uint64_t touched = ((8 + mean % 8) << (mean / 8)) >> 3;
  return std::clamp(kStepsPerTouch / std::max<std::uint64_t>(1, touched), kFewestDefaultSteps, kMostDefaultSteps);
}

// A split of the pool, and the search of each of its parts.
struct Split {
  Plan plan;
  std::vector<std::size_t> searches;
};

struct WheelSearch::State {
  WheelRequest request;
  std::vector<int> numbers;           // the pool's bit indices
  std::vector<CoverSearch> searches;  // the whole pool's first, if it is searched whole, then the parts'
  bool whole = false;
  std::vector<std::optional<std::size_t>> part_search;  // [if_drawn * (v + 1) + numbers]: a part's search
  std::vector<std::vector<int>> guarantees;             // of the parts, of each way to split
  std::vector<Split> splits;                            // of each way, the sizes with the fewest rows so far
  std::vector<std::size_t> focus;  // the searches that take turns: the whole's and those of the splits' parts
  std::vector<std::size_t> all;    // every search
  std::optional<std::size_t> current;  // the search whose turn it is
  std::uint64_t into_turn = 0;
  bool first_turns = true;  // each search is still to have its first turn, in order

  std::optional<std::size_t> search_of(const Part& part) const {
    const auto v = static_cast<std::size_t>(std::popcount(request.pool));
    return part_search[static_cast<std::size_t>(part.if_drawn) * (v + 1) + static_cast<std::size_t>(part.numbers)];
  }

  // The sizes of each split that give the fewest rows by what the searches
  // have found, and the searches that take turns for them.
  void plan() {
    const int v = std::popcount(request.pool);
    splits.clear();
    focus.clear();
    if (whole) focus.push_back(0);
    for (const std::vector<int>& drawn : guarantees) {
      const std::optional<Plan> fewest = fewest_split(drawn, v, request.lottery.length, [this](const Part& part) {
        const std::optional<std::size_t> search = search_of(part);
        return search ? std::optional<std::uint64_t>{searches[*search].best_rows().size()} : std::nullopt;
      });
      if (!fewest) continue;
      Split split{*fewest, {}};
      for (const Part& part : split.plan) split.searches.push_back(*search_of(part));
      focus.insert(focus.end(), split.searches.begin(), split.searches.end());
      splits.push_back(std::move(split));
    }
    std::sort(focus.begin(), focus.end());
    focus.erase(std::unique(focus.begin(), focus.end()), focus.end());
  }

  // The first search of `order` from `from` on, round to its start, that is
  // not done; none when all are.
  std::optional<std::size_t> next_of(const std::vector<std::size_t>& order, std::size_t from) const {
    const auto at = std::lower_bound(order.begin(), order.end(), from);
    const auto not_done = [this](std::size_t i) { return !searches[i].done(); };
    auto found = std::find_if(at, order.end(), not_done);
    if (found == order.end()) found = std::find_if(order.begin(), at, not_done);
    return found == order.end() ? std::nullopt : std::optional<std::size_t>{*found};
  }

  // The search to step: each in order for its first turn, then those in
  // focus in turn, re-planned at the end of every turn; any that is not
  // done once all in focus are. None when every search is done.
  std::optional<std::size_t> turn() {
    const std::uint64_t length = first_turns ? kFirstTurnSteps : kTurnSteps;
    if (current && into_turn < length && !searches[*current].done()) return current;
    into_turn = 0;
    const std::size_t from = current ? *current + 1 : 0;
    plan();
    if (first_turns) {
      current = next_of(all, from);
      if (current && *current >= from) return current;
      first_turns = false;
    }
    current = next_of(focus, from);
    if (!current) current = next_of(all, from);
    return current;
  }
};

WheelSearch::WheelSearch(const WheelRequest& request) : state_(std::make_unique<State>()) {
  State& state = *state_;
  state.request = request;
  state.numbers = pool_numbers(request.pool);
  const int v = pool_size(request);
  const int k = request.lottery.length;
  const Guarantee g = request.guarantee;
  best_.sets = choose(v, g.if_drawn);
  best_.lower_bound = wheel_lower_bound(v, k, g);
  rt::Random seeds(request.seed);
  if (whole_searchable(request)) {
    state.whole = true;
    state.searches.emplace_back(
        CoverSetup{v, k, g, request.rows, best_.lower_bound, seeds.Next(), built_wheel(v, k, g)});
  }
  state.part_search.resize(static_cast<std::size_t>(k + 1) * static_cast<std::size_t>(v + 1));
  if (!request.rows) {
    state.guarantees = split_guarantees(g);
    for (const Part& part : searched_parts(v, k, g)) {
      state.part_search[static_cast<std::size_t>(part.if_drawn) * static_cast<std::size_t>(v + 1) +
                        static_cast<std::size_t>(part.numbers)] = state.searches.size();
      const Guarantee pg{g.right, part.if_drawn};
      state.searches.emplace_back(CoverSetup{part.numbers, k, pg, std::nullopt, wheel_lower_bound(part.numbers, k, pg),
                                             seeds.Next(), built_wheel(part.numbers, k, pg)});
    }
  }
  state.all.resize(state.searches.size());
  std::iota(state.all.begin(), state.all.end(), std::size_t{0});
  state.plan();
  refresh_best();
}

WheelSearch::~WheelSearch() = default;
WheelSearch::WheelSearch(WheelSearch&&) noexcept = default;
WheelSearch& WheelSearch::operator=(WheelSearch&&) noexcept = default;

void WheelSearch::advance(std::uint64_t steps) {
  State& state = *state_;
  for (; steps > 0 && !best_.proven; --steps) {
    const std::optional<std::size_t> turn = state.turn();
    if (!turn) return;
    CoverSearch& search = state.searches[*turn];
    const std::pair before{search.best_rows().size(), search.best_uncovered()};
    search.step();
    ++steps_taken_;
    ++state.into_turn;
    // The best changes only with a search's own, and at once, so that
    // where a search stops does not depend on how its steps were sliced.
    if (std::pair{search.best_rows().size(), search.best_uncovered()} != before) refresh_best();
  }
}

bool WheelSearch::done() const {
  const State& state = *state_;
  return best_.proven ||
         std::all_of(state.searches.begin(), state.searches.end(), [](const CoverSearch& s) { return s.done(); });
}

// The fewest rows of the whole pool's search and of every split into parts
// (the whole first, then the splits in order, on a tie).
void WheelSearch::refresh_best() {
  const State& state = *state_;
  std::optional<std::vector<RowMask>> fewest;
  std::uint64_t uncovered = 0;
  if (state.whole) {
    const CoverSearch& whole = state.searches.front();
    fewest.emplace();
    for (const RowMask row : whole.best_rows()) fewest->push_back(placed(row, state.numbers, 0));
    uncovered = whole.best_uncovered();
  }
  for (const Split& split : state.splits) {
    std::size_t rows = 0;
    for (const std::size_t i : split.searches) rows += state.searches[i].best_rows().size();
    if (fewest && rows >= fewest->size()) continue;
    fewest.emplace();
    std::size_t first = 0;
    for (std::size_t p = 0; p < split.plan.size(); ++p) {
      for (const RowMask row : state.searches[split.searches[p]].best_rows())
        fewest->push_back(placed(row, state.numbers, first));
      first += static_cast<std::size_t>(split.plan[p].numbers);
    }
    uncovered = 0;
  }
  best_.rows = std::move(*fewest);
  best_.uncovered = uncovered;
  best_.proven = state.request.rows ? uncovered == 0 : best_.rows.size() <= best_.lower_bound;
}

}  // namespace rivit
