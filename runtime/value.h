// A Value is the one kind of datum the runtime hands around: an integer, a
// list, a text, or the absent value. Values are cheap to copy. Integers are
// held by value; lists and texts by reference, so two copies of a list value
// name the same list and an append through one is seen through the other.
// Texts never change once made. The absent value is what reading past the end
// of a list yields; it equals nothing, not even another absent value.
//
// Layout: a kind and one 8-byte payload, 16 bytes in all:
//   Kind::kAbsent    no payload             the absent value (the default)
//   Kind::kInteger   integer                a signed 64-bit integer
//   Kind::kList      shared -> List         a list, named by every copy
//   Kind::kText      shared -> SharedText   a text, immutable
// A list or a text counts the values that name it (Shared) and is freed when
// the last of them goes; a copy of a value is two words and one increment.
// A list that holds itself, which appending can build, is never freed.
//
// The runtime is single-threaded: values must not be shared between threads.

#ifndef ERILAISETRIVIT_RUNTIME_VALUE_H_
#define ERILAISETRIVIT_RUNTIME_VALUE_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

namespace rt {

using Integer = std::int64_t;
using Text = std::string;
class List;
class ListRef;

// The count of values that name a list or a text.
struct Shared {
  std::size_t references = 1;
};

class Value {
 public:
  Value() = default;
  // Implicit on purpose: an integer or a list reference is a value.
  Value(Integer i) : kind_(Kind::kInteger), payload_{.integer = i} {}  // NOLINT
  Value(ListRef list);                                                 // NOLINT
  static Value MakeText(std::string_view text);
  // The same, taking over the characters of `text` instead of copying them.
  static Value TakeText(Text&& text);

  Value(const Value& other) : kind_(other.kind_), payload_(other.payload_) {
    if (is_shared()) ++payload_.shared->references;
  }
  Value(Value&& other) noexcept : kind_(other.kind_), payload_(other.payload_) { other.kind_ = Kind::kAbsent; }
  // One assignment for copies and moves: the old payload goes with `other`.
  Value& operator=(Value other) noexcept {
    std::swap(kind_, other.kind_);
    std::swap(payload_, other.payload_);
    return *this;
  }
  ~Value() {
    if (is_shared() && --payload_.shared->references == 0) Free();
  }

  bool is_absent() const { return kind_ == Kind::kAbsent; }
  bool is_integer() const { return kind_ == Kind::kInteger; }
  bool is_list() const { return kind_ == Kind::kList; }
  bool is_text() const { return kind_ == Kind::kText; }

  // The accessors raise a runtime error (rt::Error) when the value is of
  // another kind.
  Integer integer() const {
    if (is_integer()) return payload_.integer;
    RaiseNotA("an integer");
  }
  List& list() const;
  const Text& text() const;

  // True when both are integers, or both texts, of equal content, or when both
  // name the same list. The absent value equals nothing.
  friend bool operator==(const Value& a, const Value& b) {
    if (a.is_integer()) return b.is_integer() && a.payload_.integer == b.payload_.integer;
    return EqualOtherThanIntegers(a, b);
  }

 private:
  friend class ListRef;
  enum class Kind : std::uint8_t { kAbsent, kInteger, kList, kText };
  union Payload {
    Integer integer;
    Shared* shared;
  };

  Value(Kind kind, Shared* shared) : kind_(kind), payload_{.shared = shared} {}
  bool is_shared() const { return kind_ >= Kind::kList; }
  // Frees the list or text that this, its last value, named.
  void Free();
  [[noreturn]] static void RaiseNotA(const char* kind);
  static bool EqualOtherThanIntegers(const Value& a, const Value& b);

  Kind kind_ = Kind::kAbsent;
  Payload payload_{.integer = 0};
};

// A list of values, growable at its tail. Elements are never replaced or
// removed, so a list and its length name the same elements for good.
class List : public Shared {
 public:
  List() = default;
  List(const List&) = delete;
  List& operator=(const List&) = delete;
  ~List();

  std::size_t size() const { return size_; }
  // REQUIRES: index < size().
  const Value& operator[](std::size_t index) const { return elements_[index]; }
  const Value* begin() const { return elements_; }
  const Value* end() const { return elements_ + size_; }

  // Adds one element at the tail.
  void Push(Value element) {
    if (size_ == capacity_) Grow();
    elements_[size_++] = std::move(element);
  }

 private:
  // Most lists stay short, so the first few elements live inside the list
  // itself: a short list is one allocation. Seven values and the list's own
  // words fill a small block with little left over on the platforms we build
  // for. Past them, every element moves to an array that doubles as needed.
  static constexpr std::uint32_t kInlineCapacity = 7;

  // Doubles the room for elements. Raises rt::Error when the count would not
  // fit the size's type; a failed allocation changes nothing.
  void Grow();

  std::uint32_t size_ = 0;
  std::uint32_t capacity_ = kInlineCapacity;
  Value* elements_ = inline_;  // inline_, or the array it grew into
  Value inline_[kInlineCapacity];
};

// A new, empty list, held the way a list value holds it; it converts to a
// Value naming the same list.
class ListRef {
 public:
  List* operator->() const { return &**this; }
  List& operator*() const { return *static_cast<List*>(value_.payload_.shared); }

 private:
  friend class Value;
  friend ListRef MakeList();
  explicit ListRef(List* list) : value_(Value::Kind::kList, list) {}

  Value value_;
};

ListRef MakeList();

// A text and the count of values that name it.
struct SharedText : Shared {
  explicit SharedText(Text t) : text(std::move(t)) {}
  const Text text;
};

inline Value::Value(ListRef list) : Value(std::move(list.value_)) {}

inline List& Value::list() const {
  if (is_list()) return *static_cast<List*>(payload_.shared);
  RaiseNotA("a list");
}

inline const Text& Value::text() const {
  if (is_text()) return static_cast<const SharedText*>(payload_.shared)->text;
  RaiseNotA("a text");
}

}  // namespace rt

#endif  // ERILAISETRIVIT_RUNTIME_VALUE_H_
