// Rows from circles: rows that share at most two numbers, built rather than
// searched for, as a start for the rows search.
//
// Over the field of q^2 elements, q an odd prime, the q^2 + 1 points of the
// projective line (the field and one point at infinity) carry q (q^2 + 1)
// circles of q + 1 points each: the images of the line of the subfield
// under the maps z -> (a z + b) / (c z + d). Any three points lie on
// exactly one circle, so two circles share at most two points. Leaving out
// q^2 + 1 - N points, every circle that keeps at least K of the rest gives
// a row of K of N, and the rows share at most two numbers. For 7 of 40
// (q = 7, 50 points) this gives about 185 rows, where a search over free
// rows stalls well below.
//
// Inside the library only (rivit_internal): its fronts never include it.

#ifndef ERILAISETRIVIT_RIVIT_INTERNAL_CIRCLES_H_
#define ERILAISETRIVIT_RIVIT_INTERNAL_CIRCLES_H_

#include <cstddef>
#include <vector>

#include "rivit/lottery.h"
#include "runtime/random.h"

namespace rivit {

// The most numbers that two rows from circles share.
inline constexpr int kCircleRowsShare = 2;

// `wanted` rows from the circles of the least odd prime q with q + 1 >=
// length and q^2 + 1 >= numbers, when q^2 + 1 <= 2 * numbers and enough
// circles keep `length` numbers; none otherwise. The points left out are
// chosen by a short search, drawn from `random`, for the most circles kept;
// of more circles than wanted, those whose numbers are the most used go,
// one at a time; and a circle that keeps more than `length` numbers gives
// up its most used ones.
// REQUIRES: within_limits(lottery).
std::vector<RowMask> circle_rows(Lottery lottery, std::size_t wanted, rt::Random& random);

}  // namespace rivit

#endif  // ERILAISETRIVIT_RIVIT_INTERNAL_CIRCLES_H_
