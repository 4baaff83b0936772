// Helpers for the unit tests: building a list from literal values in one
// expression, reading a list of integers back as a vector that GoogleTest
// can compare, and printing a value in a failure message.

#ifndef ERILAISETRIVIT_RUNTIME_TEST_VALUES_H_
#define ERILAISETRIVIT_RUNTIME_TEST_VALUES_H_

#include <initializer_list>
#include <ostream>
#include <vector>

#include "runtime/error.h"
#include "runtime/operations.h"
#include "runtime/value.h"

namespace rt::test {

// A new list holding `elements` in order, each added as one element.
inline Value ListOf(std::initializer_list<Value> elements) {
  auto list = MakeList();
  for (const Value& e : elements) list->Push(e);
  return list;
}

// A new list holding `integers` in order.
inline Value ListOfIntegers(const std::vector<Integer>& integers) {
  auto list = MakeList();
  for (const Integer i : integers) list->Push(i);
  return list;
}

// The elements of a list. REQUIRES: every element is an integer.
inline std::vector<Integer> IntegersOf(const Value& list) {
  std::vector<Integer> out;
  for (const Value& e : list.list()) out.push_back(e.integer());
  return out;
}

}  // namespace rt::test

namespace rt {

// Found by GoogleTest through the argument's namespace. The absent value and
// lists that hold it have no text form, so they are named instead.
inline void PrintTo(const Value& v, std::ostream* os) {
  try {
    *os << (v.is_text() ? "\"" + v.text() + "\"" : TextForm(v));
  } catch (const Error&) {
    *os << (v.is_absent() ? "absent" : "a list holding the absent value");
  }
}

}  // namespace rt

#endif  // ERILAISETRIVIT_RUNTIME_TEST_VALUES_H_
