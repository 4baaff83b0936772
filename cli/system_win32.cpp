#include "cli/system.h"

// windows.h first: shellapi.h needs what it defines.
// clang-format off
#include <windows.h>
#include <shellapi.h>
// clang-format on

#include <io.h>

#include <cerrno>
#include <memory>

namespace cli {

namespace {

// A conversion between UTF-8 and UTF-16 through one of the system's two
// converters, as the first call measures and the second converts; a text that
// does not convert gives nothing.
template <typename To, typename From, typename Converter>
std::basic_string<To> convert(const std::basic_string<From>& text, Converter converter) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const int converted_size = converter(text.data(), size, nullptr, 0);
  if (converted_size <= 0) return {};
  std::basic_string<To> converted(static_cast<std::size_t>(converted_size), To{});
  converter(text.data(), size, converted.data(), converted_size);
  return converted;
}

std::string narrow(const std::wstring& wide) {
  return convert<char>(wide, [](const wchar_t* from, int size, char* to, int to_size) {
    return WideCharToMultiByte(CP_UTF8, 0, from, size, to, to_size, nullptr, nullptr);
  });
}

std::wstring widen(const std::string& utf8) {
  return convert<wchar_t>(utf8, [](const char* from, int size, wchar_t* to, int to_size) {
    return MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, from, size, to, to_size);
  });
}

}  // namespace

// CommandLineToArgvW splits as the C runtime does, so only the code page
// differs from argv; should it fail, argv is all there is.
std::vector<std::string> utf8_arguments(int argc, char** argv) {
  int count = 0;
  const std::unique_ptr<LPWSTR, decltype(&LocalFree)> wide(CommandLineToArgvW(GetCommandLineW(), &count), LocalFree);
  if (!wide) return {argv, argv + argc};
  std::vector<std::string> arguments;
  for (int i = 0; i < count; ++i) arguments.push_back(narrow(wide.get()[i]));
  return arguments;
}

// A name that is not UTF-8 names no file.
std::FILE* open_file(const std::string& utf8_name, const char* mode) {
  const std::wstring name = widen(utf8_name);
  if (name.empty()) {
    errno = ENOENT;
    return nullptr;
  }
  return _wfopen(name.c_str(), widen(mode).c_str());
}

bool standard_error_is_terminal() { return _isatty(_fileno(stderr)) != 0; }

}  // namespace cli
