#include "runtime/value.h"

#include "runtime/error.h"

namespace rt {

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

std::shared_ptr<List> MakeList() { return std::make_shared<List>(); }

}  // namespace rt
