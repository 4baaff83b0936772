#include "rivit/check.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace rivit {
namespace {

// A temporary file that holds `text`, read from its start.
struct TextFile {
  explicit TextFile(const std::string& text) : file(std::tmpfile()) {
    std::fputs(text.c_str(), file);
    std::rewind(file);
  }
  ~TextFile() { std::fclose(file); }
  TextFile(const TextFile&) = delete;
  TextFile& operator=(const TextFile&) = delete;
  std::FILE* file;
};

int brute_force_most_shared(const std::vector<RowMask>& rows) {
  int most = 0;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    for (std::size_t j = i + 1; j < rows.size(); ++j) most = std::max(most, shared_numbers(rows[i], rows[j]));
  }
  return most;
}

TEST(MostShared, AgreesWithEveryPairCompared) {
  std::mt19937_64 random(20261208);
  for (int trial = 0; trial < 3000; ++trial) {
    // Rows drawn from the numbers up to a random bound share more the lower
    // the bound, so every count from 0 to 7 comes up.
    const int pool = std::uniform_int_distribution<int>(kNumbersInRow, kLargestNumber)(random);
    const std::size_t count = std::uniform_int_distribution<std::size_t>(0, trial % 10 == 0 ? 400 : 12)(random);
    std::vector<int> numbers(static_cast<std::size_t>(pool));
    for (int n = 1; n <= pool; ++n) numbers[static_cast<std::size_t>(n - 1)] = n;
    std::vector<RowMask> rows;
    for (std::size_t i = 0; i < count; ++i) {
      std::shuffle(numbers.begin(), numbers.end(), random);
      Row row;
      std::copy_n(numbers.begin(), row.size(), row.begin());
      rows.push_back(mask_of(row));
    }
    const std::optional<SharedPair> found = most_shared(rows);
    if (rows.size() < 2) {
      EXPECT_FALSE(found);
      continue;
    }
    ASSERT_TRUE(found);
    EXPECT_EQ(found->numbers, brute_force_most_shared(rows)) << "trial " << trial;
    ASSERT_LT(found->first, found->second);
    ASSERT_LT(found->second, rows.size());
    EXPECT_EQ(shared_numbers(rows[found->first], rows[found->second]), found->numbers) << "trial " << trial;
  }
}

TEST(ReadRows, SkipsBlanksCommentsAndHeaderAndKeepsLineNumbers) {
  TextFile input(
      "n1,n2,n3,n4,n5,n6,n7\n"
      "\n"
      "  # a comment\n"
      "1 2 3 4 5 6 7\r\n"
      "40,39, 38 ,\t37 , 36,35,34\n"
      "\t 007 8 9 10 11 12 13 \n"
      "14 15 16 17 18 19 20");
  const ReadRows read = read_rows(input.file, "rows.txt");
  const std::vector<Row> expected = {{1, 2, 3, 4, 5, 6, 7}, {40, 39, 38, 37, 36, 35, 34}, {7, 8, 9, 10, 11, 12, 13},
                                     {14, 15, 16, 17, 18, 19, 20}};
  EXPECT_EQ(read.rows, expected);
  EXPECT_EQ(read.lines, (std::vector<std::size_t>{4, 5, 6, 7}));
}

TEST(ReadRows, NamesFileAndLineOfABadRowAndReadsNoFurther) {
  const std::string good = "# rows\n1 2 3 4 5 6 7\n";
  const struct {
    std::string line;
    std::string message;
  } cases[] = {
      {"1 2 3 4 5 6", "rows.txt:3: 6 numbers, a row has 7"},
      {"1 2 3 4 5 6 7 8", "rows.txt:3: 8 numbers, a row has 7"},
      {"1 2 3 4 5 6 41", "rows.txt:3: 41 is not from 1 to 40"},
      {"0 2 3 4 5 6 7", "rows.txt:3: 0 is not from 1 to 40"},
      {"-1 2 3 4 5 6 7", "rows.txt:3: -1 is not from 1 to 40"},
      {"99999999999999999999 2 3 4 5 6 7", "rows.txt:3: 99999999999999999999 is not from 1 to 40"},
      {"1 2 3 4 5 6 2", "rows.txt:3: 2 appears twice"},
      {"1 2 x3 4 5 6 7", "rows.txt:3: \"x3\" is not a number"},
      {"1 2 3 4 5 6 7.0", "rows.txt:3: \"7.0\" is not a number"},
      {"1 2 3 4 5 6 \x01\xff", "rows.txt:3: \"??\" is not a number"},
      {"1,2,,3 4 5 6 7", "rows.txt:3: a field is empty"},
      {",1 2 3 4 5 6 7", "rows.txt:3: a field is empty"},
      {"1 2 3 4 5 6 7,", "rows.txt:3: a field is empty"},
      {"n1,n2,n3,n4,n5,n6,n7", "rows.txt:3: \"n1\" is not a number"},
  };
  for (const auto& c : cases) {
    TextFile input(good + c.line + "\nNEXT\n");
    try {
      read_rows(input.file, "rows.txt");
      ADD_FAILURE() << "accepted: " << c.line;
    } catch (const InputError& error) {
      EXPECT_EQ(error.what(), c.message);
    }
    // The stream stands at the start of the line after the bad one.
    EXPECT_EQ(std::getc(input.file), 'N') << c.line;
  }
}

}  // namespace
}  // namespace rivit
