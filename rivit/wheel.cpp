#include "rivit/wheel.h"

#include <algorithm>
#include <bit>
#include <map>
#include <utility>

#include "rivit/cover_search.h"
#include "rivit/golay.h"
#include "rivit/local_search.h"

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

// Each search of the whole or of a part takes this many steps in turn.
constexpr std::uint64_t kTurnSteps = 1'000;

// Parts are tried only this many ways, those with the most parts first.
constexpr std::size_t kMostPlans = 12;

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

// The ways of splitting the pool that the search tries: for each choice of
// the parts' guarantees, the even split, and one that gives a part of m_i =
// t the size of a Golay Steiner system and the rest evenly to the others.
std::vector<Plan> union_plans(int v, int k, Guarantee g) {
  std::vector<std::vector<int>> guarantees;
  std::vector<int> chosen;
  part_guarantees(g, g.if_drawn - 1, chosen, guarantees);
  std::stable_sort(guarantees.begin(), guarantees.end(),
                   [](const std::vector<int>& a, const std::vector<int>& b) { return a.size() > b.size(); });
  std::vector<Plan> plans;
  const auto keep = [&](const Plan& plan) {
    const bool fits = std::all_of(plan.begin(), plan.end(), [k](const Part& p) { return part_searchable(p, k); });
    if (fits && std::find(plans.begin(), plans.end(), plan) == plans.end() && plans.size() < kMostPlans) {
      plans.push_back(plan);
    }
  };
  const int built = k + kGolayLength - kOctadSize;
  for (const std::vector<int>& drawn : guarantees) {
    keep(even_plan(v, drawn));
    if (drawn.front() == g.right && !built_wheel(built, k, {g.right, g.right}).empty() && v > built) {
      Plan plan = even_plan(v - built, std::vector<int>(drawn.begin() + 1, drawn.end()));
      plan.insert(plan.begin(), Part{built, g.right});
      keep(plan);
    }
  }
  return plans;
}

// The m-sets that a step weighs, about: one change touches 2 C(k - 1, t - 1)
// C(v - k - 1, m - t), and a row that takes one change has (k - t + 1) (m -
// t + 1) of them.
std::uint64_t step_touches(int v, int k, Guarantee g) {
  const auto changes =
      static_cast<std::uint64_t>(k - g.right + 1) * static_cast<std::uint64_t>(g.if_drawn - g.right + 1);
  return std::max<std::uint64_t>(1, changes * choose(k - 1, g.right - 1) * choose(v - k - 1, g.if_drawn - g.right));
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
  const std::uint64_t edges = ceil_div(least_edges(v, g), choose(k, g.right));
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
  if (union_plans(v, lottery.length, g).empty()) return sets + ", and no split of the pool into parts is smaller";
  return std::nullopt;
}

std::uint64_t default_wheel_steps(const WheelRequest& request) {
  const int v = pool_size(request);
  const int k = request.lottery.length;
  const Guarantee g = request.guarantee;
  std::uint64_t touched = whole_searchable(request) ? step_touches(v, k, g) : 1;
  if (!request.rows) {
    for (const Plan& plan : union_plans(v, k, g)) {
      for (const Part& part : plan)
        touched = std::max(touched, step_touches(part.numbers, k, {g.right, part.if_drawn}));
    }
  }
  return std::clamp(kStepsPerTouch / touched, kFewestDefaultSteps, kMostDefaultSteps);
}

struct WheelSearch::State {
  WheelRequest request;
  std::vector<int> numbers;           // the pool's bit indices
  std::vector<CoverSearch> searches;  // the whole pool's first, if it is searched whole, then the parts'
  bool whole = false;
  std::vector<std::pair<Plan, std::vector<std::size_t>>> plans;  // each part's search
  std::size_t turn = 0;
  std::uint64_t into_turn = 0;

  // Moves the turn on from searches that are done; false when all are.
  bool find_turn() {
    for (std::size_t tried = 0; tried < searches.size(); ++tried) {
      if (!searches[turn].done()) return true;
      turn = (turn + 1) % searches.size();
      into_turn = 0;
    }
    return false;
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
  if (!request.rows) {
    std::map<Part, std::size_t> searched;
    for (const Plan& plan : union_plans(v, k, g)) {
      std::vector<std::size_t> indices;
      for (const Part& part : plan) {
        const auto [at, added] = searched.try_emplace(part, state.searches.size());
        if (added) {
          const Guarantee pg{g.right, part.if_drawn};
          state.searches.emplace_back(CoverSetup{part.numbers, k, pg, std::nullopt,
                                                 wheel_lower_bound(part.numbers, k, pg), seeds.Next(),
                                                 built_wheel(part.numbers, k, pg)});
        }
        indices.push_back(at->second);
      }
      state.plans.emplace_back(plan, std::move(indices));
    }
  }
  refresh_best();
}

WheelSearch::~WheelSearch() = default;
WheelSearch::WheelSearch(WheelSearch&&) noexcept = default;
WheelSearch& WheelSearch::operator=(WheelSearch&&) noexcept = default;

void WheelSearch::advance(std::uint64_t steps) {
  State& state = *state_;
  for (; steps > 0 && !best_.proven && state.find_turn(); --steps) {
    CoverSearch& search = state.searches[state.turn];
    const std::pair before{search.best_rows().size(), search.best_uncovered()};
    search.step();
    ++steps_taken_;
    // The best changes only with a search's own, and at once, so that
    // where a search stops does not depend on how its steps were sliced.
    if (std::pair{search.best_rows().size(), search.best_uncovered()} != before) refresh_best();
    if (++state.into_turn == kTurnSteps) {
      state.turn = (state.turn + 1) % state.searches.size();
      state.into_turn = 0;
    }
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
  for (const auto& [plan, indices] : state.plans) {
    std::size_t rows = 0;
    for (const std::size_t i : indices) rows += state.searches[i].best_rows().size();
    if (fewest && rows >= fewest->size()) continue;
    fewest.emplace();
    std::size_t first = 0;
    for (std::size_t p = 0; p < plan.size(); ++p) {
      for (const RowMask row : state.searches[indices[p]].best_rows())
        fewest->push_back(placed(row, state.numbers, first));
      first += static_cast<std::size_t>(plan[p].numbers);
    }
    uncovered = 0;
  }
  best_.rows = std::move(*fewest);
  best_.uncovered = uncovered;
  best_.proven = state.request.rows ? uncovered == 0 : best_.rows.size() <= best_.lower_bound;
}

}  // namespace rivit
