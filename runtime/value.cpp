#include "runtime/value.h"

#include "runtime/error.h"

namespace rt {

namespace {

// Most lists stay short. Seven 24-byte values fill a 168-byte block, which
// the allocator's 16-byte steps round up the least.
constexpr std::size_t kFirstCapacity = 7;

}  // namespace

Value Value::MakeText(std::string_view text) {
  Value v;
  v.v_ = std::make_shared<const Text>(text);
  return v;
}

void Value::RaiseNotA(const char* kind) { throw Error(std::string(kind) + " was expected"); }

bool Value::EqualOtherThanIntegers(const Value& a, const Value& b) {
  if (a.v_.index() != b.v_.index()) return false;
  if (a.is_list()) return &a.list() == &b.list();
  if (a.is_text()) return a.text() == b.text();
  return false;  // absent equals nothing
}

void List::Push(Value element) {
  // Room for a few elements at once spares the first growth steps.
  if (elements_.capacity() == 0) elements_.reserve(kFirstCapacity);
  elements_.push_back(std::move(element));
}

std::shared_ptr<List> MakeList() { return std::make_shared<List>(); }

}  // namespace rt
