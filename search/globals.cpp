#include "search/globals.h"

#include <optional>

namespace search {

const rt::Literal kLiteralBlock[kLiteralCount] = {
    {rt::Literal::Kind::kList, "[]"},
    {rt::Literal::Kind::kList, "[]"},
    {rt::Literal::Kind::kText, "["},
    {rt::Literal::Kind::kText, " "},
    {rt::Literal::Kind::kText, "]"},
    {rt::Literal::Kind::kText, "Vahintaan "},
    {rt::Literal::Kind::kText, " saa noin "},
    {rt::Literal::Kind::kText, ":lla rivilla"},
};

Literals::Literals(const rt::Runtime& booted)
    : empty_rivit(booted.FetchLiteral(kRivitLiteral)),
      empty_rivi(booted.FetchLiteral(kRiviLiteral)),
      open_bracket(booted.FetchLiteral(kOpenBracketLiteral)),
      space(booted.FetchLiteral(kSpaceLiteral)),
      close_bracket(booted.FetchLiteral(kCloseBracketLiteral)),
      vahintaan(booted.FetchLiteral(kVahintaanLiteral)),
      saa_noin(booted.FetchLiteral(kSaaNoinLiteral)),
      lla_rivilla(booted.FetchLiteral(kLlaRivillaLiteral)) {}

Literals start_with_literals(rt::Runtime& runtime) {
  runtime.Start();
  std::optional<Literals> literals;
  runtime.Boot(kLiteralBlock, [&literals](const rt::Runtime& booted) { literals.emplace(booted); });
  return *literals;
}

}  // namespace search
