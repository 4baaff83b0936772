#include "rivit/guarantee.h"

#include <algorithm>
#include <bit>
#include <cstdio>
#include <initializer_list>

#include "rivit/optimise.h"

namespace rivit {

namespace {

// A set of the pool's renumbered numbers as the lottery's numbers.
RowMask in_lottery(RowMask renumbered, const std::vector<int>& pool_numbers) {
  RowMask mask = 0;
  for_each_number(renumbered, [&](int i) { mask |= number_bit(pool_numbers[static_cast<std::size_t>(i)]); });
  return mask;
}

// The check where every m-set is a single number (m = 1) or the whole pool
// (m = v): few enough to try each against every row.
GuaranteeCheck check_each_set(std::span<const RowMask> rows, int v, Guarantee guarantee) {
  std::vector<RowMask> sets;
  if (guarantee.if_drawn == v) {
    sets.push_back(v == kMostNumbers ? ~RowMask{0} : (RowMask{1} << v) - 1);
  } else {
    for (int i = 0; i < v; ++i) sets.push_back(RowMask{1} << i);
  }
  GuaranteeCheck check{guarantee, v, sets.size(), 0, std::nullopt};
  for (const RowMask set : sets) {
    const bool met =
        std::any_of(rows.begin(), rows.end(), [&](RowMask row) { return std::popcount(row & set) >= guarantee.right; });
    if (met) continue;
    ++check.failing;
    if (!check.example) check.example = NumberSet::of_row_mask(set);
  }
  return check;
}

}  // namespace

std::optional<std::string> guarantee_problem(RowMask pool, Lottery lottery, Guarantee guarantee) {
  const int v = std::popcount(pool);
  const auto [right, if_drawn] = guarantee;
  if (right < 1 || right > lottery.length) {
    return "the guarantee's T is from 1 to " + std::to_string(lottery.length) + ", the numbers in a row";
  }
  if (if_drawn < right || if_drawn > std::min(lottery.length, v)) {
    return "the guarantee's M is from T to " + std::to_string(std::min(lottery.length, v)) +
           ", no more than a row's numbers or the pool's";
  }
  if (choose(v, if_drawn) > kMostDraws) {
    return std::to_string(choose(v, if_drawn)) + " sets of " + std::to_string(if_drawn) + " from " + std::to_string(v) +
           " numbers are more than " + std::to_string(kMostDraws) + " to check one by one";
  }
  return std::nullopt;
}

GuaranteeCount::GuaranteeCount(std::span<const RowMask> rows, RowMask pool, Guarantee guarantee)
    : guarantee_(guarantee) {
  for_each_number(pool, [this](int n) { pool_numbers_.push_back(n + 1); });
  for (const RowMask row : rows) {
    RowMask cut = 0;
    for (std::size_t i = 0; i < pool_numbers_.size(); ++i) {
      if ((row & number_bit(pool_numbers_[i])) != 0) cut |= RowMask{1} << i;
    }
    cut_rows_.push_back(cut);
  }
  const int v = static_cast<int>(pool_numbers_.size());
  if (guarantee.if_drawn > 1 && guarantee.if_drawn < v) {
    count_.emplace(cut_rows_, Lottery{v, guarantee.if_drawn}, OddsOptions{std::nullopt, guarantee.right});
  }
}

GuaranteeCheck GuaranteeCount::check(const Tally& every_piece) const {
  const int v = static_cast<int>(pool_numbers_.size());
  GuaranteeCheck check = count_ ? GuaranteeCheck{guarantee_, v, choose(v, guarantee_.if_drawn), 0, std::nullopt}
                                : check_each_set(cut_rows_, v, guarantee_);
  if (count_) {
    for (std::size_t k = 0; k < every_piece.best.size() && k < static_cast<std::size_t>(guarantee_.right); ++k) {
      check.failing += every_piece.best[k];
    }
    if (every_piece.first_below) check.example = NumberSet::of_row_mask(every_piece.first_below->draw);
  }
  if (check.example) check.example = NumberSet::of_row_mask(in_lottery(check.example->row_mask(), pool_numbers_));
  return check;
}

GuaranteeCheck check_guarantee(std::span<const RowMask> rows, RowMask pool, Guarantee guarantee) {
  const GuaranteeCount count(rows, pool, guarantee);
  Tally tally;
  if (count.pieces()) {
    OddsCount::Counter counter(*count.pieces());
    for (std::size_t i = 0; i < count.pieces()->pieces(); ++i) counter.count(i);
    tally = counter.tally();
  }
  return count.check(tally);
}

namespace {

// The pieces one after the other. (Written so rather than as a sum of
// strings, which GCC 12 at -O3 takes for an overlapping copy.)
std::string joined(std::initializer_list<std::string> pieces) {
  std::string text;
  for (const std::string& piece : pieces) text.append(piece);
  return text;
}

std::string guarantee_words(Guarantee guarantee, int pool_numbers) {
  return joined({std::to_string(guarantee.right), " if ", std::to_string(guarantee.if_drawn), " on ",
                 std::to_string(pool_numbers), " numbers"});
}

}  // namespace

std::string guarantee_text(const GuaranteeCheck& check) {
  std::string text = joined({"guarantee: ", guarantee_words(check.guarantee, check.pool_numbers), ": "});
  if (check.holds()) return text.append("holds");
  text.append(joined({"fails for ", std::to_string(check.failing), " of ", std::to_string(check.sets), " sets of ",
                      std::to_string(check.guarantee.if_drawn), ", e.g."}));
  for (const int n : check.example->numbers()) text.append(" ").append(std::to_string(n));
  return text;
}

std::string wheel_summary(const WheelResult& wheel, Guarantee guarantee, int pool_numbers, std::uint64_t steps,
                          double seconds) {
  std::string text =
      joined({"rows: ", std::to_string(wheel.rows.size()), ", guarantee ", guarantee_words(guarantee, pool_numbers)});
  if (wheel.uncovered == 0) {
    text.append(" holds");
  } else {
    char share[32];
    std::snprintf(share, sizeof share, "%.4f",
                  100.0 * static_cast<double>(wheel.sets - wheel.uncovered) / static_cast<double>(wheel.sets));
    text.append(joined({": ", std::to_string(wheel.uncovered), " of ", std::to_string(wheel.sets), " sets of ",
                        std::to_string(guarantee.if_drawn), " left uncovered, ", share, " % covered"}));
  }
  text.append(joined({", lower bound ", std::to_string(wheel.lower_bound)}));
  if (wheel.uncovered == 0 && wheel.rows.size() == wheel.lower_bound) text.append(" (no fewer rows can do it)");
  text.append(joined({"; ", std::to_string(steps), " steps, ", seconds_text(seconds)}));
  return text;
}

}  // namespace rivit
