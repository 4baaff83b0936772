// Steiner systems from the binary Golay code, as ready-made wheels: blocks
// of `length` numbers such that every (length - 3)-set of the points lies in
// exactly one block.
//
// The quadratic residues mod 23 mark a word whose 23 cyclic shifts span the
// binary Golay code (length 23, 4096 words, any two at distance 7 or more);
// a parity bit extends it to length 24, and its 759 words of weight 8, the
// octads, are S(5, 8, 24). The octads through one point, that point left
// out, are S(4, 7, 23) (253 blocks); through two, S(3, 6, 22) (77); through
// three, S(2, 5, 21) (21, the projective plane of order 4).
//
// Inside the library only (rivit_internal): its fronts never include it.

#ifndef ERILAISETRIVIT_RIVIT_INTERNAL_GOLAY_H_
#define ERILAISETRIVIT_RIVIT_INTERNAL_GOLAY_H_

#include <vector>

#include "rivit/lottery.h"

namespace rivit {

inline constexpr int kGolayLength = 24;
inline constexpr int kOctadSize = 8;
inline constexpr int kGolayShortestBlock = 5;

// The blocks of S(length - 3, length, length + 16) on the bit indices 0 to
// length + 15, when kGolayShortestBlock <= length <= kOctadSize; none for
// any other length.
std::vector<RowMask> golay_steiner_system(int length);

}  // namespace rivit

#endif  // ERILAISETRIVIT_RIVIT_INTERNAL_GOLAY_H_
