#include "runtime/record.h"

namespace rt {

Word system[kRecordWords];  // NOLINT: the one record, shared by design

}  // namespace rt
