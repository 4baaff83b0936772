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

void Value::RaiseNotA(const char* kind) { throw Error(std::string(kind) + " was expected"); }

bool Value::EqualOtherThanIntegers(const Value& a, const Value& b) {
  if (a.v_.index() != b.v_.index()) return false;
  if (a.is_list()) return &a.list() == &b.list();
  if (a.is_text()) return a.text() == b.text();
  return false;  // absent equals nothing
}

void List::Push(Value element) {
  // Most lists are rows: room for a row's head at once spares the growth
  // steps on the way to it.
  if (elements_.capacity() == 0) elements_.reserve(kHeadLength);
  const SetMask bit = BitOf(element);
  if (elements_.size() < kHeadLength) head_mask_ = WithElement(head_mask_, bit);
  mask_ = WithElement(mask_, bit);
  elements_.push_back(std::move(element));

  const bool masks_current = element_masks_epoch_ == g_mask_epoch;
  if (masks_current) AddElementMask(elements_.back());
  Touch();
  if (masks_current) element_masks_epoch_ = g_mask_epoch;
}

bool List::MaskExcludes(const Value& v) const {
  const SetMask bit = BitOf(v);
  return bit != 0 && (mask_ & (bit | kNotASmallSet)) == 0;
}

void List::Touch() {
  if (observed_) ++g_mask_epoch;
}

void List::AddElementMask(const Value& element) const {
  const SetMask head = HeadMaskOf(element);
  element_masks_.push_back(head);
  element_masks_union_ |= head;
  if (element.is_list()) element.list().observed_ = true;
}

void List::RefreshElementMasks() const {
  if (element_masks_epoch_ == g_mask_epoch) return;
  element_masks_.clear();
  element_masks_union_ = 0;
  element_masks_.reserve(elements_.size());
  for (const Value& e : elements_) AddElementMask(e);
  element_masks_epoch_ = g_mask_epoch;
}

std::span<const SetMask> List::element_head_masks() const {
  RefreshElementMasks();
  return element_masks_;
}

SetMask List::element_head_masks_union() const {
  RefreshElementMasks();
  return element_masks_union_;
}

std::shared_ptr<List> MakeList() { return std::make_shared<List>(); }

}  // namespace rt
