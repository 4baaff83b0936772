// A Runtime is one started instance of the value runtime: the program's
// literals, its random numbers, where printed lines go, and the script
// arguments taken from the command line. The program makes one; tests make as
// many as they like, each with a seed and a sink of their own.
//
// The start-up protocol, in order: Start(); LoadLiterals(block);
// set_boot_flag(true); FetchLiteral(i) for each literal the program keeps;
// set_boot_flag(false). Boot() does all but the start. Literals are reachable
// only while the boot flag is up, so the program takes them once, at start-up.

#ifndef ERILAISETRIVIT_RUNTIME_RUNTIME_H_
#define ERILAISETRIVIT_RUNTIME_RUNTIME_H_

#include <cstddef>
#include <functional>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

#include "runtime/output.h"
#include "runtime/random.h"
#include "runtime/value.h"

namespace rt {

// One literal of a program's literal block, written as a list is written for
// the reader ("[]" is an empty list), or as the characters of a text.
struct Literal {
  enum class Kind { kList, kText };
  Kind kind;
  std::string_view source;
};
using LiteralBlock = std::span<const Literal>;

class Runtime {
 public:
  // Seeded from the operating system, printing to standard output.
  Runtime();
  // With a fixed seed and a sink of the caller's, which must outlive it.
  Runtime(std::uint64_t seed, LineSink& sink);

  // LoadLiterals(block), then `take_literals` while the boot flag is up.
  // REQUIRES: started.
  void Boot(LiteralBlock block, const std::function<void(const Runtime&)>& take_literals);

  // REQUIRES: not started yet.
  void Start();
  // REQUIRES: started; each list literal reads as exactly one list.
  void LoadLiterals(LiteralBlock block);
  void set_boot_flag(bool up) { boot_flag_ = up; }
  bool boot_flag() const { return boot_flag_; }
  // The literal at `index` of the loaded block. Raises rt::Error unless the
  // boot flag is up and the index is in the block.
  const Value& FetchLiteral(std::size_t index) const;

  // An integer drawn uniformly from 1 to n.
  Integer RandomUpTo(Integer n) { return random_.Uniform(n); }
  // Writes the text form of `text` and a line feed.
  void PrintLine(const Value& text);

  // The captured command line, from the argument count and list words of the
  // shared record, as a list of texts.
  static Value CommandLine();
  void set_script_args(Value args) { script_args_ = std::move(args); }
  const Value& script_args() const { return script_args_; }
  const Value& program_path() const { return program_path_; }
  // Takes the program path, the first script argument, off the script
  // arguments; what remains is the arguments proper. Nothing interprets them.
  void extract_boot_args();

 private:
  std::unique_ptr<StandardOutputSink> own_sink_;
  LineSink* sink_;
  rt::Random random_;
  bool started_ = false;
  bool boot_flag_ = false;
  std::vector<Value> literals_;
  Value script_args_;
  Value program_path_;
};

}  // namespace rt

#endif  // ERILAISETRIVIT_RUNTIME_RUNTIME_H_
