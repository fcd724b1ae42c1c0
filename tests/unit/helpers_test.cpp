#include "runtime/helpers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

#include "runtime/heap.h"
#include "runtime/shutdown.h"
#include "runtime/state.h"

namespace {

using namespace rt;

// A scratch folder: two files, one hidden file, two subfolders.
class ScratchFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    root_ = std::wstring(temp) + L"ombre_find_" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(root_.c_str(), nullptr);
    for (const wchar_t* name : {L"\\a0001.txt", L"\\a0002.txt", L"\\notes.md"}) Touch(root_ + name);
    Touch(root_ + L"\\hidden.txt");
    SetFileAttributesW((root_ + L"\\hidden.txt").c_str(), FILE_ATTRIBUTE_HIDDEN);
    CreateDirectoryW((root_ + L"\\sub.txt").c_str(), nullptr);
    CreateDirectoryW((root_ + L"\\other").c_str(), nullptr);
  }
  void TearDown() override {
    for (const wchar_t* name : {L"\\a0001.txt", L"\\a0002.txt", L"\\notes.md", L"\\hidden.txt"}) {
      SetFileAttributesW((root_ + name).c_str(), FILE_ATTRIBUTE_NORMAL);
      DeleteFileW((root_ + name).c_str());
    }
    RemoveDirectoryW((root_ + L"\\sub.txt").c_str());
    RemoveDirectoryW((root_ + L"\\other").c_str());
    RemoveDirectoryW(root_.c_str());
  }
  static void Touch(const std::wstring& path) {
    HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    CloseHandle(f);
  }
  std::string Pattern(const char* mask) {
    std::string root(root_.begin(), root_.end());  // the temp path is ASCII here
    return root + "\\" + mask;
  }
  std::set<std::string> FindAll(const char* mask, uint32_t attributes, bool filesOnly, HANDLE* search) {
    std::set<std::string> names;
    std::string pattern = Pattern(mask);
    for (char* name = FindFile(pattern.c_str(), attributes, filesOnly, search); name;
         name = FindFile(nullptr, attributes, filesOnly, search)) {
      names.insert(name);
      FreeMemory(name);
    }
    return names;
  }
  std::wstring root_;
};

TEST_F(ScratchFolder, FilesOnlyNeverReturnsADirectory) {
  HANDLE search = nullptr;
  auto names = FindAll("*.txt", 0, true, &search);
  EXPECT_EQ(names, (std::set<std::string>{"a0001.txt", "a0002.txt", "hidden.txt"}));
  EXPECT_EQ(search, nullptr) << "the handle is closed and cleared once the search runs out";
  EXPECT_EQ(FindFile(nullptr, 0, true, &search), nullptr);
}

TEST_F(ScratchFolder, MaskSelectsByAttributes) {
  HANDLE search = nullptr;
  EXPECT_EQ(FindAll("*", FILE_ATTRIBUTE_DIRECTORY, false, &search),
            (std::set<std::string>{".", "..", "sub.txt", "other"}));
  EXPECT_EQ(FindAll("*", FILE_ATTRIBUTE_HIDDEN | 0x80, false, &search), (std::set<std::string>{"hidden.txt"}));
  EXPECT_TRUE(FindAll("*", 0, false, &search).empty()) << "mask 0 wants attributes 0, which no entry has here";
}

TEST_F(ScratchFolder, NewPatternClosesTheHeldSearch) {
  HANDLE search = nullptr;
  std::string pattern = Pattern("a*.txt");
  HeapPtr<char> first(FindFile(pattern.c_str(), 0, true, &search));
  ASSERT_NE(search, nullptr);
  HeapPtr<char> again(FindFile(pattern.c_str(), 0, true, &search));
  EXPECT_STREQ(first.get(), again.get());
  CloseFind(&search);
  EXPECT_EQ(search, nullptr);
  CloseFind(&search);
}

TEST_F(ScratchFolder, NoMatchGivesNullAndNoHandle) {
  HANDLE search = nullptr;
  std::string pattern = Pattern("*.none");
  EXPECT_EQ(FindFile(pattern.c_str(), 0, true, &search), nullptr);
  EXPECT_EQ(search, nullptr);
}

TEST_F(ScratchFolder, HelperEntryReadsItsArguments) {
  HANDLE search = nullptr;
  std::string pattern = Pattern("notes.*");
  auto* name = reinterpret_cast<char*>(uintptr_t(CallRuntimeHelper(HELPER_FIND_FILE, pattern.c_str(), 0u, 1, &search)));
  ASSERT_NE(name, nullptr);
  EXPECT_STREQ(name, "notes.md");
  FreeMemory(name);
  CallRuntimeHelper(HELPER_CLOSE_FIND, &search);
  EXPECT_EQ(search, nullptr);
}

void RoutineA() {}
void RoutineB() {}

TEST(ExitRoutines, RegisteredTwiceKeepsOneEntryInOrder) {
  DiscardExitRoutines();
  CallRuntimeHelper(HELPER_REGISTER_EXIT_ROUTINE, &RoutineA);
  RegisterExitRoutine(&RoutineB);
  RegisterExitRoutine(&RoutineA);
  RegisterExitRoutine(nullptr);
  EXPECT_EQ(State().exitRoutines, (std::vector<ExitRoutine>{&RoutineA, &RoutineB}));
  DiscardExitRoutines();
  EXPECT_TRUE(State().exitRoutines.empty());
}

}  // namespace
