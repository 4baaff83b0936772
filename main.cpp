// erilaisetrivit: lottery rows that differ from one another as much as
// possible. The process frame runs the row search.

#include <optional>

#include "frame/frame.h"
#include "runtime/throw.h"
#include "search/driver.h"

namespace {

// The search as the process frame runs it: the whole search, then halt.
class RowSearch : public frame::Program {
 public:
  rt::LiteralBlock literals() const override { return search::kLiteralBlock; }
  void TakeLiterals(const rt::Runtime& runtime) override { literals_.emplace(runtime); }
  void Run(rt::Runtime& runtime) override {
    search::Globals g(runtime, *literals_);
    search::set_up(g);
    search::run_phases(g);
    rt::halt();
  }

 private:
  std::optional<search::Literals> literals_;
};

}  // namespace

int main(int argc, char** argv) {
  RowSearch row_search;
  frame::process_entry(argc, argv, row_search);
}
