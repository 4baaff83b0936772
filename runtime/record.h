// The shared runtime record: a small array of pointer-wide words through
// which the process frame and the runtime pass what both need to see. A word
// is exactly 32 bits in the 32-bit Windows program and wide enough for an
// address in the 64-bit programs, Windows and Linux. The runtime exports the
// record as `system`.

#ifndef ERILAISETRIVIT_RUNTIME_RECORD_H_
#define ERILAISETRIVIT_RUNTIME_RECORD_H_

#include <cstddef>
#include <cstdint>

namespace rt {

using Word = std::uintptr_t;

enum RecordWord : std::size_t {
  kArgumentCountWord = 0,  // number of captured arguments
  kArgumentListWord = 1,   // address of the captured argument list
  kClearedWord = 2,        // set to 0 with the argument list
  kThrownValueWord = 9,    // the value of the last throw
  kLiteralBlockWord = 10,  // address of the program's literal block at start-up
  kFaultFrameWord = 11,    // address of the fault frame record
  kImageLayoutWord = 12,   // address of the image-layout record
  kRecordWords = 16,
};

extern Word system[kRecordWords];  // NOLINT: the one record, shared by design

}  // namespace rt

#endif  // ERILAISETRIVIT_RUNTIME_RECORD_H_
