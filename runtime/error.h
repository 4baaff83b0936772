// rt::Error is how the runtime reports a value it cannot handle: a list
// operation on a non-list, an integer that would overflow, a text the reader
// cannot read, an output stream that refuses a line. No call site inspects
// it; it travels to the root of the process, which writes its message on one
// line of standard error and ends the process with its exit status.

#ifndef ERILAISETRIVIT_RUNTIME_ERROR_H_
#define ERILAISETRIVIT_RUNTIME_ERROR_H_

#include <stdexcept>
#include <string>

namespace rt {

// Exit statuses of the runtime's own errors, outside the error numbers of the
// fatal report (1 to 34, 95, 98 to 101): sysexits' EX_SOFTWARE and EX_IOERR.
inline constexpr int kRuntimeErrorStatus = 70;
inline constexpr int kOutputErrorStatus = 74;

class Error : public std::runtime_error {
 public:
  explicit Error(const std::string& message, int status = kRuntimeErrorStatus)
      : std::runtime_error(message), status_(status) {}
  int status() const { return status_; }

 private:
  int status_;
};

}  // namespace rt

#endif  // ERILAISETRIVIT_RUNTIME_ERROR_H_
