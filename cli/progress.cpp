#include "cli/progress.h"

#include "cli/system.h"
#include "runtime/output.h"

namespace cli {

namespace {

constexpr auto kQuietStart = std::chrono::seconds(1);
constexpr auto kShortestGap = std::chrono::milliseconds(200);
// Carriage return, then erase to the end of the line.
constexpr char kRewind[] = "\r\x1b[K";

}  // namespace

ProgressLine::ProgressLine() : enabled_(standard_error_is_terminal()) {}

ProgressLine::~ProgressLine() { Clear(); }

void ProgressLine::Clear() {
  const std::lock_guard<std::mutex> lock(mutex_);
  if (shown_) rt::WriteBytes(kRewind);
  shown_ = false;
}

void ProgressLine::Show(const std::string& text) {
  if (!enabled_) return;
  const std::lock_guard<std::mutex> lock(mutex_);
  const Clock::time_point now = Clock::now();
  if (now - start_ < kQuietStart || (shown_ && now - last_shown_ < kShortestGap)) return;
  rt::WriteBytes(kRewind + text);
  last_shown_ = now;
  shown_ = true;
}

double ProgressLine::Elapsed() const { return std::chrono::duration<double>(Clock::now() - start_).count(); }

}  // namespace cli
