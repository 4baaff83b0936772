#include "rivit/progress.h"

#include <cstdio>

#ifdef _WIN32
#include <io.h>
#define ERILAISETRIVIT_ISATTY _isatty
#define ERILAISETRIVIT_FILENO _fileno
#else
#include <unistd.h>
#define ERILAISETRIVIT_ISATTY isatty
#define ERILAISETRIVIT_FILENO fileno
#endif

#include "runtime/output.h"

namespace rivit {

namespace {

constexpr auto kQuietStart = std::chrono::seconds(1);
constexpr auto kShortestGap = std::chrono::milliseconds(200);
// Carriage return, then erase to the end of the line.
constexpr char kRewind[] = "\r\x1b[K";

}  // namespace

ProgressLine::ProgressLine() : enabled_(ERILAISETRIVIT_ISATTY(ERILAISETRIVIT_FILENO(stderr)) != 0) {}

ProgressLine::~ProgressLine() {
  if (shown_) rt::WriteBytes(kRewind);
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

}  // namespace rivit
