// The Windows side of RunChild. CreateProcessW hands the child one command
// line, which the child splits again (CommandLineToArgvW and the C runtime
// split alike); every argument is quoted here so that the split gives it back
// unchanged. A process that an unhandled exception ended has the exception
// code as exit code, a status with the warning or error severity (top bit
// set): that is reported as not exited, with the code as status, the
// counterpart of a POSIX signal.

#include <windows.h>

#include <stdexcept>
#include <string>
#include <thread>

#include "tests/child_process.h"

namespace tests {

namespace {

[[noreturn]] void fail(const std::string& what) {
  throw std::runtime_error(what + ": Windows error " + std::to_string(GetLastError()));
}

class Handle {
 public:
  Handle() = default;
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  ~Handle() { Close(); }

  HANDLE get() const { return handle_; }
  void Reset(HANDLE handle) {
    if (handle_ != nullptr) CloseHandle(handle_);
    handle_ = handle == INVALID_HANDLE_VALUE ? nullptr : handle;
  }
  void Close() { Reset(nullptr); }

 private:
  HANDLE handle_ = nullptr;
};

// Handles that the child inherits; the parent's own ends are made private.
SECURITY_ATTRIBUTES inheritable() { return {sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE}; }

struct Pipe {
  Pipe() {
    SECURITY_ATTRIBUTES attributes = inheritable();
    HANDLE read = nullptr;
    HANDLE write = nullptr;
    if (!CreatePipe(&read, &write, &attributes, 0)) fail("CreatePipe");
    SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
    read_end.Reset(read);
    write_end.Reset(write);
  }
  Handle read_end;
  Handle write_end;
};

std::wstring widen(const std::string& utf8) {
  if (utf8.empty()) return {};
  const int size = static_cast<int>(utf8.size());
  const int wide_size = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, nullptr, 0);
  if (wide_size == 0) fail("MultiByteToWideChar");
  std::wstring wide(static_cast<std::size_t>(wide_size), L'\0');
  MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, wide.data(), wide_size);
  return wide;
}

// Within quotes, backslashes stand for themselves except in a run that ends
// at a quote, where each pair gives one backslash and an odd one escapes the
// quote; so such runs, and the run before the closing quote, are doubled.
void append_quoted(std::wstring& line, const std::wstring& argument) {
  if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos) {
    line += argument;
    return;
  }
  line += L'"';
  std::size_t backslashes = 0;
  for (const wchar_t c : argument) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    line.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
    line += c;
    backslashes = 0;
  }
  line.append(2 * backslashes, L'\\');
  line += L'"';
}

// The program name is split by simpler rules: quotes delimit it, and a
// backslash is never an escape.
std::wstring command_line(const std::string& program, const std::vector<std::string>& arguments) {
  std::wstring line = L"\"" + widen(program) + L"\"";
  for (const std::string& argument : arguments) {
    line += L' ';
    append_quoted(line, widen(argument));
  }
  return line;
}

void open_output_file(const std::string& path, Handle& file) {
  SECURITY_ATTRIBUTES attributes = inheritable();
  file.Reset(CreateFileW(widen(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &attributes,
                         CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file.get() == nullptr) fail("CreateFileW " + path);
}

std::string read_all(HANDLE handle) {
  std::string bytes;
  char buffer[4096];
  DWORD n = 0;
  while (ReadFile(handle, buffer, sizeof buffer, &n, nullptr) && n > 0) bytes.append(buffer, n);
  return bytes;
}

}  // namespace

ChildResult RunChild(const std::string& program, const std::vector<std::string>& arguments,
                     const StandardOutput& output) {
  Pipe out;
  Pipe err;
  SECURITY_ATTRIBUTES attributes = inheritable();
  Handle input;
  input.Reset(CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &attributes, OPEN_EXISTING, 0,
                          nullptr));
  if (input.get() == nullptr) fail("CreateFileW NUL");
  // Left empty for a closed standard output.
  Handle file;
  if (output.kind == StandardOutput::Kind::kFile) open_output_file(output.path, file);

  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = input.get();
  startup.hStdOutput = output.kind == StandardOutput::Kind::kCaptured ? out.write_end.get() : file.get();
  startup.hStdError = err.write_end.get();
  std::wstring line = command_line(program, arguments);
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(widen(program).c_str(), line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                      &process)) {
    fail("CreateProcessW " + program);
  }
  Handle process_handle;
  process_handle.Reset(process.hProcess);
  CloseHandle(process.hThread);
  // The child's copies are all that keep the pipes open now.
  out.write_end.Close();
  err.write_end.Close();
  file.Close();

  ChildResult result;
  std::thread error_reader([&] { result.standard_error = read_all(err.read_end.get()); });
  result.standard_output = read_all(out.read_end.get());
  error_reader.join();

  WaitForSingleObject(process_handle.get(), INFINITE);
  DWORD code = 0;
  GetExitCodeProcess(process_handle.get(), &code);
  result.exited = (code & 0x80000000U) == 0;
  result.status = static_cast<int>(code);
  return result;
}

}  // namespace tests
