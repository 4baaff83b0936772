// The program-wide variables of the row search. Every variable exists once
// for the whole run, is seen by every function of the search and keeps its
// last value; all of them are values of the runtime. Besides the variables,
// the struct holds the runtime they live in, the literals taken from it at
// start-up, and the row index kept beside rivit.

#ifndef ERILAISETRIVIT_SEARCH_GLOBALS_H_
#define ERILAISETRIVIT_SEARCH_GLOBALS_H_

#include "runtime/runtime.h"
#include "runtime/value.h"
#include "search/row_index.h"

namespace search {

// The program's literal block, in the order of LiteralIndex.
enum LiteralIndex : std::size_t {
  kRivitLiteral,          // the empty list that rivit starts from
  kRiviLiteral,           // the empty list that each candidate starts from
  kOpenBracketLiteral,    // "["
  kSpaceLiteral,          // " "
  kCloseBracketLiteral,   // "]"
  kVahintaanLiteral,      // "Vahintaan "
  kSaaNoinLiteral,        // " saa noin "
  kLlaRivillaLiteral,     // ":lla rivilla"
  kLiteralCount,
};
extern const rt::Literal kLiteralBlock[kLiteralCount];

// The literal values, fetched once while the runtime's boot flag is up. The
// two empty lists are only ever used through copies.
struct Literals {
  explicit Literals(const rt::Runtime& booted);
  rt::Value empty_rivit;
  rt::Value empty_rivi;
  rt::Value open_bracket;
  rt::Value space;
  rt::Value close_bracket;
  rt::Value vahintaan;
  rt::Value saa_noin;
  rt::Value lla_rivilla;
};

// Starts `runtime`, loads the program's literal block into it and takes the
// literals, as start-up does.
Literals start_with_literals(rt::Runtime& runtime);

struct Globals {
  Globals(rt::Runtime& runtime_in, const Literals& literals_in) : runtime(runtime_in), literals(literals_in) {}

  rt::Runtime& runtime;
  const Literals& literals;

  // The search driver's.
  rt::Value rivit;        // the stored rows, in order of acceptance
  rt::Value yrityksia;    // the last attempt number of the current phase
  rt::Value oikein;       // the tolerance of the current phase
  rt::Value yritys;       // the number of the next attempt
  rt::Value arvotturivi;  // the candidate row

  // Beside them, what the overlap is counted from (row_index.h): the set
  // masks of rivit's rows, grown by store_row, and the candidate's, made by
  // arvorivi.
  RowIndex rivit_index;
  ListMask arvotturivi_mask;

  // Working variables of the row functions; nothing else reads them.
  rt::Value lkm;            // arvorivi: numbers in the candidate so far
  rt::Value numero;         // arvorivi, montaoikein: the number at hand
  rt::Value numeroindeksi;  // montaoikein: the position read in rivi1
  rt::Value kpl;            // montaoikein: equal pairs so far
  rt::Value num2;           // montaoikein: the element of rivi2 at hand
  rt::Value isoinkpl;       // enitenoikein: the largest overlap so far
  rt::Value rivi;           // enitenoikein: the stored row at hand
  rt::Value oik;            // enitenoikein: its overlap with the candidate
};

}  // namespace search

#endif  // ERILAISETRIVIT_SEARCH_GLOBALS_H_
