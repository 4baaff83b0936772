// A Value is the one kind of datum the runtime hands around: an integer, a
// list, a text, or the absent value. Values are cheap to copy. Integers are
// held by value; lists and texts by reference, so two copies of a list value
// name the same list and an append through one is seen through the other.
// Texts never change once made. The absent value is what reading past the end
// of a list yields; it equals nothing, not even another absent value.
//
// Layout: a std::variant whose alternatives are, in this order,
//   Absent                       the absent value (the default)
//   Integer                      a signed 64-bit integer
//   std::shared_ptr<List>        a list, shared by every copy of the value
//   std::shared_ptr<const Text>  a text, immutable
//
// The runtime is single-threaded: values must not be shared between threads.

#ifndef ERILAISETRIVIT_RUNTIME_VALUE_H_
#define ERILAISETRIVIT_RUNTIME_VALUE_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace rt {

using Integer = std::int64_t;
using Text = std::string;
class List;

struct Absent {};

class Value {
 public:
  Value() = default;
  // Implicit on purpose: an integer or a list reference is a value.
  Value(Integer i) : v_(i) {}                            // NOLINT
  Value(std::shared_ptr<List> l) : v_(std::move(l)) {}   // NOLINT
  static Value MakeText(std::string_view text);

  bool is_absent() const { return std::holds_alternative<Absent>(v_); }
  bool is_integer() const { return std::holds_alternative<Integer>(v_); }
  bool is_list() const { return std::holds_alternative<std::shared_ptr<List>>(v_); }
  bool is_text() const { return std::holds_alternative<std::shared_ptr<const Text>>(v_); }

  // The accessors raise a runtime error (rt::Error) when the value is of
  // another kind.
  Integer integer() const {
    if (const Integer* i = std::get_if<Integer>(&v_)) return *i;
    RaiseNotA("an integer");
  }
  List& list() const {
    if (const auto* l = std::get_if<std::shared_ptr<List>>(&v_)) return **l;
    RaiseNotA("a list");
  }
  const Text& text() const {
    if (const auto* t = std::get_if<std::shared_ptr<const Text>>(&v_)) return **t;
    RaiseNotA("a text");
  }

  // True when both are integers, or both texts, of equal content, or when both
  // name the same list. The absent value equals nothing.
  friend bool operator==(const Value& a, const Value& b) {
    if (const Integer* i = std::get_if<Integer>(&a.v_)) {
      const Integer* j = std::get_if<Integer>(&b.v_);
      return j != nullptr && *i == *j;
    }
    return EqualOtherThanIntegers(a, b);
  }

 private:
  [[noreturn]] static void RaiseNotA(const char* kind);
  static bool EqualOtherThanIntegers(const Value& a, const Value& b);

  std::variant<Absent, Integer, std::shared_ptr<List>, std::shared_ptr<const Text>> v_;
};

// A list of values, growable at its tail. Elements are never replaced or
// removed, so a list and its length name the same elements for good.
class List {
 public:
  List() = default;
  List(const List&) = delete;
  List& operator=(const List&) = delete;
  ~List() = default;

  std::size_t size() const { return elements_.size(); }
  // REQUIRES: index < size().
  const Value& operator[](std::size_t index) const { return elements_[index]; }
  auto begin() const { return elements_.begin(); }
  auto end() const { return elements_.end(); }

  // Adds one element at the tail. Room for a few elements at once spares
  // the first growth steps.
  void Push(Value element) {
    if (elements_.capacity() == 0) elements_.reserve(kFirstCapacity);
    elements_.push_back(std::move(element));
  }

 private:
  // Most lists stay short, and seven values fit a small block with little
  // left over on the platforms we build for.
  static constexpr std::size_t kFirstCapacity = 7;

  std::vector<Value> elements_;
};

std::shared_ptr<List> MakeList();

}  // namespace rt

#endif  // ERILAISETRIVIT_RUNTIME_VALUE_H_
