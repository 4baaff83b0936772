#include "runtime/runtime.h"

#include "runtime/error.h"
#include "runtime/operations.h"
#include "runtime/reader.h"
#include "runtime/record.h"

namespace rt {

Runtime::Runtime()
    : own_sink_(std::make_unique<StandardOutputSink>()),
      sink_(own_sink_.get()),
      random_(rt::Random::FromOperatingSystem()) {}

Runtime::Runtime(std::uint64_t seed, LineSink& sink) : sink_(&sink), random_(seed) {}

void Runtime::Boot(LiteralBlock block, const std::function<void(const Runtime&)>& take_literals) {
  LoadLiterals(block);
  set_boot_flag(true);
  take_literals(*this);
  set_boot_flag(false);
}

void Runtime::Start() {
  if (started_) throw Error("the runtime is started twice");
  started_ = true;
}

void Runtime::LoadLiterals(LiteralBlock block) {
  if (!started_) throw Error("literals are loaded before the runtime is started");
  literals_.clear();
  for (const rt::Literal& literal : block) {
    if (literal.kind == rt::Literal::Kind::kText) {
      literals_.push_back(Value::MakeText(literal.source));
      continue;
    }
    const Value read = ReadList(literal.source);
    if (Length(read) != 1 || !Element(read, 1).is_list()) {
      throw Error("a list literal must be one bracketed group");
    }
    literals_.push_back(Element(read, 1));
  }
}

const Value& Runtime::FetchLiteral(std::size_t index) const {
  if (!boot_flag_) throw Error("literals are fetched only while the boot flag is up");
  if (index >= literals_.size()) throw Error("no literal " + std::to_string(index));
  return literals_[index];
}

void Runtime::PrintLine(const Value& text) { sink_->WriteLine(TextForm(text)); }

Value Runtime::CommandLine() {
  auto args = MakeList();
  const auto count = static_cast<std::int32_t>(system[kArgumentCountWord]);
  const auto* list = reinterpret_cast<const char* const*>(system[kArgumentListWord]);  // NOLINT
  for (std::int32_t i = 0; list != nullptr && i < count && list[i] != nullptr; ++i) {
    args->Push(Value::MakeText(list[i]));
  }
  return args;
}

void Runtime::extract_boot_args() {
  if (!script_args_.is_list() || Length(script_args_) == 0) return;
  program_path_ = Element(script_args_, 1);
  auto rest = MakeList();
  const List& args = script_args_.list();
  for (std::size_t i = 1; i < args.size(); ++i) rest->Push(args[i]);
  script_args_ = rest;
}

}  // namespace rt
