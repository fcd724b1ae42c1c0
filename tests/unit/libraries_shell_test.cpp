#include "libraries/shell/shell_commands.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <knownfolders.h>
#include <shlobj.h>

#include <optional>
#include <string>

#include "libraries/libraries.h"
#include "program_fixture.h"
#include "runtime/gbk.h"
#include "runtime/heap.h"

namespace {

using namespace lib::shell;

// Program code's call, through the library's checking entry; the text comes
// back through the runtime's allocator, which the fixture's libraries use.
class SpecialFolders : public testing_support::ProgramFixture {
 protected:
  static std::string Folder(int32_t number) {
    rt::ArgRecord argument = rt::MakeInt(number), result{};
    lib::kShellLibrary.commands[CMD_GET_SPECIAL_FOLDER](&result, 1, &argument);
    std::string text = result.text() ? result.text() : "";
    rt::FreeMemory(result.pointer());
    return text;
  }
};

std::wstring WithBackslash(std::wstring path) {
  if (!path.empty() && path.back() != L'\\') path += L'\\';
  return path;
}

// The same folders asked for the other way, by known-folder ID.
std::wstring KnownFolder(REFKNOWNFOLDERID id) {
  PWSTR path = nullptr;
  std::wstring copy;
  if (SUCCEEDED(SHGetKnownFolderPath(id, 0, nullptr, &path))) copy = path;
  CoTaskMemFree(path);
  return WithBackslash(copy);
}

std::wstring Environment(const wchar_t* name) {
  wchar_t value[4096] = {};
  GetEnvironmentVariableW(name, value, DWORD(std::size(value)));
  return WithBackslash(value);
}

std::wstring TemporaryDirectory() {
  std::wstring tmp = Environment(L"TMP");
  return tmp.size() > 1 ? tmp : Environment(L"TEMP");
}

struct FolderCase {
  const char* name;
  int32_t number;
  std::wstring expected;
};

TEST_F(SpecialFolders, EachNumberNamesItsFolderWithATrailingBackslash) {
  const FolderCase cases[] = {
      {"documents", FOLDER_DOCUMENTS, KnownFolder(FOLDERID_Documents)},
      {"favourites", FOLDER_FAVORITES, KnownFolder(FOLDERID_Favorites)},
      {"desktop", FOLDER_DESKTOP, KnownFolder(FOLDERID_Desktop)},
      {"fonts", FOLDER_FONTS, KnownFolder(FOLDERID_Fonts)},
      {"start menu", FOLDER_START_MENU, KnownFolder(FOLDERID_StartMenu)},
      {"programs", FOLDER_PROGRAMS, KnownFolder(FOLDERID_Programs)},
      {"start-up", FOLDER_STARTUP, KnownFolder(FOLDERID_Startup)},
      {"application data", FOLDER_APPLICATION_DATA, KnownFolder(FOLDERID_RoamingAppData)},
      {"Windows directory", FOLDER_WINDOWS, Environment(L"SystemRoot")},
      {"system directory", FOLDER_SYSTEM, KnownFolder(FOLDERID_System)},
      {"temporary directory", FOLDER_TEMPORARY, TemporaryDirectory()},
  };
  for (const FolderCase& c : cases) {
    ASSERT_GT(c.expected.size(), 3u) << c.name << ": the system names the folder";
    EXPECT_EQ(rt::WideFromGbk(Folder(c.number)), c.expected) << c.name;
  }
}

TEST_F(SpecialFolders, OtherNumbersGiveTheEmptyText) {
  for (int32_t number : {0, 12, -1, 0x7FFFFFFF}) EXPECT_EQ(Folder(number), "") << number;
}

// The temporary directory follows TMP, so a test can choose the path.
class TemporaryPathSet {
 public:
  explicit TemporaryPathSet(const wchar_t* path) : saved_(Read()) { SetEnvironmentVariableW(L"TMP", path); }
  ~TemporaryPathSet() { SetEnvironmentVariableW(L"TMP", saved_ ? saved_->c_str() : nullptr); }
  TemporaryPathSet(const TemporaryPathSet&) = delete;
  TemporaryPathSet& operator=(const TemporaryPathSet&) = delete;

 private:
  static std::optional<std::wstring> Read() {
    wchar_t value[4096];
    DWORD n = GetEnvironmentVariableW(L"TMP", value, DWORD(std::size(value)));
    return n ? std::optional<std::wstring>(value) : std::nullopt;
  }
  std::optional<std::wstring> saved_;
};

struct PathCase {
  const char* name;
  const wchar_t* path;
  const char* expected;  // GBK
};

TEST_F(SpecialFolders, APathIsGivenInGbkOrNotAtAll) {
  const PathCase cases[] = {
      {"Chinese", L"C:\\帧目录", "C:\\帧目录\\"},
      {"a character GBK lacks", L"C:\\\u0E01", ""},
      {"GBK's own Latin letter", L"C:\\caf\u00E9", "C:\\caf\xA8\xA6\\"},
  };
  for (const PathCase& c : cases) {
    TemporaryPathSet tmp(c.path);
    EXPECT_EQ(Folder(FOLDER_TEMPORARY), c.expected) << c.name;
  }
}

}  // namespace
