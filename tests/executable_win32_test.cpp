// The built Windows executable, read back as the system reads it: the
// version resource's file description, the application manifest that the
// loader applies when the process starts, and the DLLs it imports, which
// must all be the system's own.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace tests {
namespace {

// CREATEPROCESS_MANIFEST_RESOURCE_ID, of type RT_MANIFEST.
constexpr WORD kProcessManifestId = 1;
constexpr WORD kManifestType = 24;

std::wstring program_path() {
  const std::string utf8 = ERILAISETRIVIT_PATH;
  const int size = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, nullptr, 0);
  std::wstring path(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, path.data(), size);
  path.pop_back();
  return path;
}

// The value of `name` in the version resource's first string table.
std::wstring version_string(const wchar_t* name) {
  const std::wstring path = program_path();
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
  std::vector<char> block(size);
  if (size == 0 || !GetFileVersionInfoW(path.c_str(), 0, size, block.data())) return L"<no version resource>";

  struct Translation {
    WORD language;
    WORD code_page;
  };
  void* found = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", &found, &length) || length < sizeof(Translation)) {
    return L"<no translation>";
  }
  const auto* translation = static_cast<const Translation*>(found);
  wchar_t key[96];
  std::swprintf(key, 96, L"\\StringFileInfo\\%04x%04x\\%ls", translation->language, translation->code_page, name);
  if (!VerQueryValueW(block.data(), key, &found, &length)) return L"<no value>";
  return static_cast<const wchar_t*>(found);
}

std::string process_manifest() {
  HMODULE image = LoadLibraryExW(program_path().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (image == nullptr) return "";
  std::string text;
  if (HRSRC resource = FindResourceW(image, MAKEINTRESOURCEW(kProcessManifestId), MAKEINTRESOURCEW(kManifestType))) {
    const auto* bytes = static_cast<const char*>(LockResource(LoadResource(image, resource)));
    text.assign(bytes, SizeofResource(image, resource));
  }
  FreeLibrary(image);
  return text;
}

bool has(const std::string& text, const char* pattern) { return std::regex_search(text, std::regex(pattern)); }

TEST(WindowsExecutable, VersionResourceDescribesTheProgram) {
  EXPECT_EQ(version_string(L"FileDescription"), L"Tuotetaan mahdollisimman erilaisia riveja");
  EXPECT_EQ(version_string(L"OriginalFilename"), L"erilaisetrivit.exe");
}

TEST(WindowsExecutable, ManifestAsksForCommonControlsInvokerAndPerMonitorDpi) {
  const std::string manifest = process_manifest();
  ASSERT_FALSE(manifest.empty());
  EXPECT_TRUE(has(manifest,
                  "<dependentAssembly>\\s*<assemblyIdentity[^>]*name=\"Microsoft\\.Windows\\.Common-Controls\""
                  "[^>]*version=\"6\\.0\\.0\\.0\""))
      << manifest;
  EXPECT_TRUE(has(manifest, "<requestedExecutionLevel[^>]*level=\"asInvoker\"")) << manifest;
  EXPECT_TRUE(has(manifest, "<dpiAwareness[^>]*>PerMonitorV2")) << manifest;
  EXPECT_TRUE(has(manifest, "<dpiAware[^>]*>true/pm</dpiAware>")) << manifest;
}

// The names in the import directory, from the file mapped as an image.
std::set<std::string> imported_dlls() {
  HMODULE image = LoadLibraryExW(program_path().c_str(), nullptr, LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  if (image == nullptr) return {"<not loaded>"};
  // The low bits of such a handle mark how it was mapped.
  const std::uintptr_t mapped = reinterpret_cast<std::uintptr_t>(image) & ~std::uintptr_t{3};  // NOLINT
  const auto* base = reinterpret_cast<const unsigned char*>(mapped);                            // NOLINT
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);                            // NOLINT
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS32*>(base + dos->e_lfanew);           // NOLINT
  const IMAGE_DATA_DIRECTORY& directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  std::set<std::string> names;
  const auto* entry = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + directory.VirtualAddress);  // NOLINT
  for (; entry->Name != 0; ++entry) names.insert(reinterpret_cast<const char*>(base + entry->Name));  // NOLINT
  FreeLibrary(image);
  return names;
}

// libgcc, libstdc++ and winpthread are linked in, not imported.
TEST(WindowsExecutable, ImportsOnlyTheSystemsOwnDlls) {
  const std::set<std::string> expected = {"KERNEL32.dll", "SHELL32.dll", "msvcrt.dll"};
  EXPECT_EQ(imported_dlls(), expected);
}

}  // namespace
}  // namespace tests
