#include "runtime/value.h"

#include <limits>
#include <memory>

#include "runtime/error.h"

namespace rt {

Value Value::MakeText(std::string_view text) { return TakeText(Text(text)); }

Value Value::TakeText(Text&& text) { return {Kind::kText, new SharedText(std::move(text))}; }

void Value::Free() {
  if (is_list()) {
    delete static_cast<List*>(payload_.shared);
  } else {
    delete static_cast<SharedText*>(payload_.shared);
  }
}

void Value::RaiseNotA(const char* kind) { throw Error(std::string(kind) + " was expected"); }

bool Value::EqualOtherThanIntegers(const Value& a, const Value& b) {
  if (a.kind_ != b.kind_) return false;
  if (a.is_list()) return a.payload_.shared == b.payload_.shared;
  if (a.is_text()) return a.text() == b.text();
  return false;  // absent equals nothing
}

List::~List() {
  if (elements_ != inline_) delete[] elements_;
}

void List::Grow() {
  if (capacity_ > std::numeric_limits<std::uint32_t>::max() / 2) throw Error("a list is too long");
  const std::uint32_t capacity = capacity_ * 2;
  auto grown = std::make_unique<Value[]>(capacity);
  for (std::uint32_t i = 0; i < size_; ++i) grown[i] = std::move(elements_[i]);
  if (elements_ != inline_) delete[] elements_;
  elements_ = grown.release();
  capacity_ = capacity;
}

ListRef MakeList() { return ListRef(new List); }

}  // namespace rt
