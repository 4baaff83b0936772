#include "rivit/report/summary.h"

#include <cstdio>
#include <initializer_list>

namespace rivit {

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

std::string score_text(const Score& score) {
  return "largest shared " + std::to_string(score.largest_shared) + ", pairs at it " +
         std::to_string(score.pairs_at_largest) + ", usage range " + std::to_string(score.usage_range);
}

std::string seconds_text(double seconds) {
  char time[32];
  std::snprintf(time, sizeof time, "%.2f s", seconds);
  return time;
}

std::string found_rows_summary(const FoundRows& found, double seconds) {
  return "rows: " + std::to_string(found.rows.size()) + ", " + score_text(found.score) +
         (found.proven_best ? " (no rows do better)" : "") + "; " + std::to_string(found.steps_taken) + " steps, " +
         seconds_text(seconds);
}

std::string guarantee_text(const GuaranteeCheck& check) {
  std::string text = joined({"guarantee: ", guarantee_words(check.guarantee, check.pool_numbers), ": "});
  if (check.holds()) return text.append("holds");
  text.append(joined({"fails for ", std::to_string(check.failing), " of ", std::to_string(check.sets), " sets of ",
                      std::to_string(check.guarantee.if_drawn), ", e.g."}));
  for (const int n : check.example->numbers()) text.append(" ").append(std::to_string(n));
  return text;
}

std::string wheel_summary(const WheelResult& wheel, Guarantee guarantee, int pool_numbers) {
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
  return text;
}

std::string wheel_search_summary(const WheelResult& wheel, Guarantee guarantee, int pool_numbers, std::uint64_t steps,
                                 double seconds) {
  return joined(
      {wheel_summary(wheel, guarantee, pool_numbers), "; ", std::to_string(steps), " steps, ", seconds_text(seconds)});
}

}  // namespace rivit
