// A progress line on standard error for work that takes a while: one line,
// rewritten in place, shown only when standard error is a terminal and only
// once the work has run for about a second, and wiped when the work ends, so
// that nothing of it stays on the screen or reaches a file or a pipe.

#ifndef ERILAISETRIVIT_CLI_PROGRESS_H_
#define ERILAISETRIVIT_CLI_PROGRESS_H_

#include <chrono>
#include <mutex>
#include <string>

namespace cli {

class ProgressLine {
 public:
  ProgressLine();
  ~ProgressLine();
  ProgressLine(const ProgressLine&) = delete;
  ProgressLine& operator=(const ProgressLine&) = delete;

  // Shows `text` in place of the line, at most a few times a second. Safe to
  // call from any thread.
  void Show(const std::string& text);
  // Wipes the line, if it was shown, so that what is written next starts a
  // line of its own. Safe to call from any thread; the line may show again.
  void Clear();
  // The seconds since the line was made.
  double Elapsed() const;

 private:
  using Clock = std::chrono::steady_clock;
  const bool enabled_;
  const Clock::time_point start_ = Clock::now();
  Clock::time_point last_shown_;
  bool shown_ = false;
  std::mutex mutex_;
};

}  // namespace cli

#endif  // ERILAISETRIVIT_CLI_PROGRESS_H_
