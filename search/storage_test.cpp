#include "search/storage.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/operations.h"
#include "runtime/test_values.h"
#include "search/test_search.h"

namespace search {
namespace {

using rt::Integer;
using rt::Value;
using rt::test::IntegersOf;
using rt::test::ListOf;
using rt::test::ListOfIntegers;
using test::BootedSearch;
using Integers = std::vector<Integer>;

constexpr std::uint64_t kSeed = 1;

std::string RowText(const Integers& numbers) {
  BootedSearch s(kSeed);
  s.g.arvotturivi = ListOfIntegers(numbers);
  return row_text(s.g).text();
}

// From 16 to 23 characters.
TEST(RowText, ASpaceAfterEveryNumberTheLastOneIncluded) {
  EXPECT_EQ(RowText({12, 5, 33, 7, 21, 40, 2}), "[12 5 33 7 21 40 2 ]");
  EXPECT_EQ(RowText({3, 1, 7, 2, 6, 4, 5}), "[3 1 7 2 6 4 5 ]");
  EXPECT_EQ(RowText({10, 20, 30, 40, 11, 39, 25}), "[10 20 30 40 11 39 25 ]");
}

TEST(RowText, ANewTextEachTime) {
  BootedSearch s(kSeed);
  s.g.arvotturivi = ListOf({1, 2, 3, 4, 5, 6, 7});
  const Value first = row_text(s.g);
  const Value second = row_text(s.g);
  EXPECT_EQ(first, second);
  EXPECT_NE(&first.text(), &second.text());
  EXPECT_EQ(s.literals.open_bracket.text(), "[");
  EXPECT_EQ(s.literals.space.text(), " ");
  EXPECT_EQ(s.literals.close_bracket.text(), "]");
}

TEST(StoreRow, RivitGrowsByOneNewRowEqualToTheCandidate) {
  BootedSearch s(kSeed);
  ASSERT_EQ(rt::Length(s.g.rivit), 0);

  const Value candidate = ListOf({12, 5, 33, 7, 21, 40, 2});
  s.g.arvotturivi = candidate;
  store_row(s.g);
  ASSERT_EQ(rt::Length(s.g.rivit), 1);  // one row, not its seven numbers
  const Value stored = rt::Element(s.g.rivit, 1);
  ASSERT_TRUE(stored.is_list());
  EXPECT_EQ(IntegersOf(stored), (Integers{12, 5, 33, 7, 21, 40, 2}));
  EXPECT_NE(stored, candidate);
}

TEST(StoreRow, StoredRowsStayAsTheyWereStored) {
  BootedSearch s(kSeed);
  s.g.arvotturivi = ListOf({1, 2, 3, 4, 5, 6, 7});
  store_row(s.g);
  const Value first = rt::Element(s.g.rivit, 1);

  // Changing the candidate afterwards, or replacing it, leaves the row alone.
  rt::Append(s.g.arvotturivi, 8);
  s.g.arvotturivi = ListOf({40, 39, 38, 37, 36, 35, 34});
  store_row(s.g);

  ASSERT_EQ(rt::Length(s.g.rivit), 2);
  EXPECT_EQ(rt::Element(s.g.rivit, 1), first);
  EXPECT_EQ(IntegersOf(first), (Integers{1, 2, 3, 4, 5, 6, 7}));
  EXPECT_EQ(IntegersOf(rt::Element(s.g.rivit, 2)), (Integers{40, 39, 38, 37, 36, 35, 34}));
}

TEST(StoreRow, TheSameCandidateTwiceGivesTwoSeparateRows) {
  BootedSearch s(kSeed);
  s.g.arvotturivi = ListOf({9, 8, 7, 6, 5, 4, 3});
  store_row(s.g);
  store_row(s.g);
  ASSERT_EQ(rt::Length(s.g.rivit), 2);
  EXPECT_NE(rt::Element(s.g.rivit, 1), rt::Element(s.g.rivit, 2));
  EXPECT_EQ(IntegersOf(rt::Element(s.g.rivit, 1)), IntegersOf(rt::Element(s.g.rivit, 2)));
  EXPECT_EQ(rt::Length(s.literals.empty_rivit), 0);
}

// The report line with `oikein` and `rows` stored rows.
std::string ReportLine(Integer oikein, int rows) {
  BootedSearch s(kSeed);
  s.g.oikein = oikein;
  for (int i = 0; i < rows; ++i) rt::Append(s.g.rivit, ListOf({ListOf({1, 2, 3, 4, 5, 6, 7})}));
  return report_line(s.g).text();
}

TEST(ReportLine, ExactBytes) {
  EXPECT_EQ(ReportLine(2, 48), "Vahintaan 3 saa noin 48:lla rivilla");
  EXPECT_EQ(ReportLine(0, 0), "Vahintaan 1 saa noin 0:lla rivilla");
  EXPECT_EQ(ReportLine(0, 5), "Vahintaan 1 saa noin 5:lla rivilla");
  EXPECT_EQ(ReportLine(4, 1234), "Vahintaan 5 saa noin 1234:lla rivilla");
}

TEST(ReportLine, PrintedAsOneLineFormedAnewEachTime) {
  BootedSearch s(kSeed);
  s.g.arvotturivi = ListOf({1, 2, 3, 4, 5, 6, 7});
  store_row(s.g);
  print_report_line(s.g);
  store_row(s.g);
  s.g.oikein = 1;
  print_report_line(s.g);
  // A phase with no new row repeats the count.
  s.g.oikein = 2;
  print_report_line(s.g);
  EXPECT_EQ(s.sink.lines,
            (std::vector<std::string>{"Vahintaan 1 saa noin 1:lla rivilla", "Vahintaan 2 saa noin 2:lla rivilla",
                                      "Vahintaan 3 saa noin 2:lla rivilla"}));
  // Forming the line changed neither oikein nor rivit.
  EXPECT_EQ(s.g.oikein, Value(Integer{2}));
  EXPECT_EQ(rt::Length(s.g.rivit), 2);
}

}  // namespace
}  // namespace search
