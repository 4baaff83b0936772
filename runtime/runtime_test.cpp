#include "runtime/runtime.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/error.h"
#include "runtime/operations.h"
#include "runtime/record.h"
#include "runtime/test_values.h"

namespace rt {
namespace {

using test::IntegersOf;
using Integers = std::vector<Integer>;

const Literal kBlock[] = {
    {Literal::Kind::kList, "[1 2]"},
    {Literal::Kind::kText, "Vahintaan "},
    {Literal::Kind::kList, "[]"},
};

// Publishes an argument list in the shared record the way the process frame
// does, and takes it away again at the end of the test.
class PublishedArguments {
 public:
  PublishedArguments(std::int32_t count, const char* const* list) {
    system[kArgumentCountWord] = static_cast<Word>(static_cast<std::uint32_t>(count));
    system[kArgumentListWord] = reinterpret_cast<Word>(list);  // NOLINT
  }
  ~PublishedArguments() {
    system[kArgumentCountWord] = 0;
    system[kArgumentListWord] = 0;
  }
  PublishedArguments(const PublishedArguments&) = delete;
  PublishedArguments& operator=(const PublishedArguments&) = delete;
};

std::vector<std::string> TextsOf(const Value& list) {
  std::vector<std::string> out;
  for (const Value& e : list.list()) out.push_back(e.text());
  return out;
}

TEST(Runtime, LiteralsAreReachableOnlyWhileTheBootFlagIsUp) {
  LineCollector sink;
  Runtime runtime(1, sink);
  EXPECT_THROW(runtime.FetchLiteral(0), Error);  // before the start

  bool took = false;
  runtime.Start();
  runtime.Boot(kBlock, [&took](const Runtime& booted) {
    took = true;
    EXPECT_TRUE(booted.boot_flag());
    EXPECT_EQ(IntegersOf(booted.FetchLiteral(0)), (Integers{1, 2}));
    EXPECT_EQ(booted.FetchLiteral(1).text(), "Vahintaan ");
    EXPECT_EQ(Length(booted.FetchLiteral(2)), 0);
    // One literal is one constant: every fetch names the same list.
    EXPECT_EQ(booted.FetchLiteral(2), booted.FetchLiteral(2));
    EXPECT_THROW(booted.FetchLiteral(3), Error);
  });
  EXPECT_TRUE(took);
  EXPECT_FALSE(runtime.boot_flag());
  EXPECT_THROW(runtime.FetchLiteral(0), Error);
}

TEST(Runtime, StartUpProtocolStepByStep) {
  LineCollector sink;
  Runtime runtime(1, sink);
  EXPECT_THROW(runtime.LoadLiterals(kBlock), Error);  // not started
  runtime.Start();
  EXPECT_THROW(runtime.Start(), Error);
  runtime.LoadLiterals(kBlock);
  EXPECT_THROW(runtime.FetchLiteral(1), Error);
  runtime.set_boot_flag(true);
  EXPECT_EQ(runtime.FetchLiteral(1).text(), "Vahintaan ");
  runtime.set_boot_flag(false);
  EXPECT_THROW(runtime.FetchLiteral(1), Error);
}

TEST(Runtime, ListLiteralMustBeOneBracketedGroup) {
  for (const char* source : {"[1] [2]", "5", "", "[1", "1 2"}) {
    SCOPED_TRACE(source);
    LineCollector sink;
    Runtime runtime(1, sink);
    runtime.Start();
    const Literal block[] = {{Literal::Kind::kList, source}};
    EXPECT_THROW(runtime.LoadLiterals(block), Error);
  }
}

TEST(Runtime, PrintLineWritesTheTextFormToTheSink) {
  LineCollector sink;
  Runtime runtime(1, sink);
  runtime.PrintLine(Value::MakeText("Vahintaan 1 saa noin 5:lla rivilla"));
  runtime.PrintLine(Integer{48});
  runtime.PrintLine(test::ListOf({1, 2}));
  EXPECT_EQ(sink.lines, (std::vector<std::string>{"Vahintaan 1 saa noin 5:lla rivilla", "48", "[1 2 ]"}));
  EXPECT_THROW(runtime.PrintLine(Value()), Error);
  EXPECT_EQ(sink.lines.size(), 3u);
}

TEST(Runtime, RandomNumbersFollowTheSeed) {
  LineCollector sink;
  Runtime runtime(99, sink);
  Random replay(99);
  for (int i = 0; i < 100; ++i) ASSERT_EQ(runtime.RandomUpTo(40), replay.Uniform(40));
}

TEST(CommandLine, TheCapturedArgumentsAsTextsOfTheirBytes) {
  const char* const list[] = {"/usr/bin/erilaisetrivit", "", "\xC3\xA4ij\xC3\xA4", "--seed=1", nullptr};
  const PublishedArguments published(4, list);
  EXPECT_EQ(TextsOf(Runtime::CommandLine()),
            (std::vector<std::string>{"/usr/bin/erilaisetrivit", "", "\xC3\xA4ij\xC3\xA4", "--seed=1"}));
}

TEST(CommandLine, EmptyWhenNothingIsCaptured) {
  {
    const PublishedArguments published(0, nullptr);
    EXPECT_EQ(Length(Runtime::CommandLine()), 0);
  }
  const char* const list[] = {"a", nullptr};
  {
    const PublishedArguments published(0, list);
    EXPECT_EQ(Length(Runtime::CommandLine()), 0);
  }
  {
    const PublishedArguments published(-1, list);
    EXPECT_EQ(Length(Runtime::CommandLine()), 0);
  }
  {
    const PublishedArguments published(3, nullptr);
    EXPECT_EQ(Length(Runtime::CommandLine()), 0);
  }
}

TEST(CommandLine, StopsAtTheListsEndEvenIfTheCountSaysMore) {
  const char* const list[] = {"a", "b", nullptr};
  const PublishedArguments published(5, list);
  EXPECT_EQ(TextsOf(Runtime::CommandLine()), (std::vector<std::string>{"a", "b"}));
}

TEST(ExtractBootArgs, TakesTheProgramPathOffTheScriptArguments) {
  LineCollector sink;
  Runtime runtime(1, sink);
  runtime.set_script_args(test::ListOf({Value::MakeText("prog"), Value::MakeText("x"), Value::MakeText("")}));
  runtime.extract_boot_args();
  EXPECT_EQ(runtime.program_path().text(), "prog");
  EXPECT_EQ(TextsOf(runtime.script_args()), (std::vector<std::string>{"x", ""}));
}

TEST(ExtractBootArgs, PathAloneLeavesNoArguments) {
  const char* const list[] = {"prog", nullptr};
  const PublishedArguments published(1, list);
  LineCollector sink;
  Runtime runtime(1, sink);
  runtime.set_script_args(Runtime::CommandLine());
  runtime.extract_boot_args();
  EXPECT_EQ(runtime.program_path().text(), "prog");
  EXPECT_EQ(Length(runtime.script_args()), 0);
}

TEST(ExtractBootArgs, NothingToTakeChangesNothing) {
  LineCollector sink;
  Runtime runtime(1, sink);
  runtime.extract_boot_args();  // no script arguments were ever set
  EXPECT_TRUE(runtime.program_path().is_absent());

  runtime.set_script_args(MakeList());
  runtime.extract_boot_args();
  EXPECT_TRUE(runtime.program_path().is_absent());
  EXPECT_EQ(Length(runtime.script_args()), 0);
}

}  // namespace
}  // namespace rt
