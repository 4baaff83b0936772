#include "runtime/value.h"

#include "runtime/error.h"

namespace rt {

namespace {

// Bumped whenever a list whose head mask another list holds changes, which
// invalidates every array of element head masks at once. Such a change never
// happens in the search, so the arrays are built once and then only grow.
std::uint64_t g_mask_epoch = 1;

SetMask BitOf(const Value& v) {
  if (!v.is_integer()) return 0;
  const Integer i = v.integer();
  return (i >= 1 && i <= 63) ? SetMask{1} << i : 0;
}

SetMask WithElement(SetMask mask, SetMask bit) {
  return (bit == 0 || (mask & bit) != 0) ? mask | kNotASmallSet : mask | bit;
}

SetMask HeadMaskOf(const Value& v) {
  return v.is_list() ? v.list().head_mask() : kNotASmallSet;
}

}  // namespace

Value Value::MakeText(std::string_view text) {
  Value v;
  v.v_ = std::make_shared<const Text>(text);
  return v;
}

Integer Value::integer() const {
  if (const Integer* i = std::get_if<Integer>(&v_)) return *i;
  throw Error("an integer was expected");
}

List& Value::list() const {
  if (const auto* l = std::get_if<std::shared_ptr<List>>(&v_)) return **l;
  throw Error("a list was expected");
}

const Text& Value::text() const {
  if (const auto* t = std::get_if<std::shared_ptr<const Text>>(&v_)) return **t;
  throw Error("a text was expected");
}

bool operator==(const Value& a, const Value& b) {
  if (a.v_.index() != b.v_.index()) return false;
  if (a.is_integer()) return a.integer() == b.integer();
  if (a.is_list()) return &a.list() == &b.list();
  if (a.is_text()) return a.text() == b.text();
  return false;  // absent equals nothing
}

void List::Push(Value element) {
  const SetMask bit = BitOf(element);
  if (elements_.size() < kHeadLength) head_mask_ = WithElement(head_mask_, bit);
  mask_ = WithElement(mask_, bit);
  elements_.push_back(std::move(element));

  const bool masks_current = element_masks_epoch_ == g_mask_epoch;
  if (masks_current) {
    const Value& added = elements_.back();
    element_masks_.push_back(HeadMaskOf(added));
    if (added.is_list()) added.list().observed_ = true;
  }
  Touch();
  if (masks_current) element_masks_epoch_ = g_mask_epoch;
}

void List::Touch() {
  if (observed_) ++g_mask_epoch;
}

std::span<const SetMask> List::element_head_masks() const {
  if (element_masks_epoch_ != g_mask_epoch) {
    element_masks_.clear();
    element_masks_.reserve(elements_.size());
    for (const Value& e : elements_) {
      element_masks_.push_back(HeadMaskOf(e));
      if (e.is_list()) e.list().observed_ = true;
    }
    element_masks_epoch_ = g_mask_epoch;
  }
  return element_masks_;
}

std::shared_ptr<List> MakeList() { return std::make_shared<List>(); }

}  // namespace rt
