// ReadFileBytes on real files in a scratch folder, called through the core
// library's command table.
#include "commands/file_commands.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "commands_test_support.h"
#include "runtime/fault_injection.h"
#include "runtime/gbk.h"

namespace {

using namespace commands_test;

using Bytes = std::optional<std::vector<uint8_t>>;

class HandleCloser {
 public:
  explicit HandleCloser(HANDLE handle) : handle_(handle) {}
  ~HandleCloser() { CloseHandle(handle_); }
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

class ReadFileBytes : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    folder_ = std::wstring(temp) + L"ombre_read_" + std::to_wstring(GetCurrentProcessId());
    ASSERT_TRUE(CreateDirectoryW(folder_.c_str(), nullptr));
  }
  void TearDown() override {
    for (const std::wstring& file : files_) DeleteFileW(file.c_str());
    RemoveDirectoryW(folder_.c_str());
  }

  // A new file in the scratch folder; its GBK path.
  std::string Write(const std::wstring& name, const std::vector<uint8_t>& content) {
    std::wstring path = Path(name);
    HandleCloser file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    EXPECT_TRUE(content.empty() || WriteFile(file.get(), content.data(), DWORD(content.size()), &written, nullptr));
    EXPECT_EQ(written, content.size());
    return rt::GbkFromWide(path);
  }
  std::wstring Path(const std::wstring& name) {
    files_.push_back(folder_ + L"\\" + name);
    return files_.back();
  }
  static HANDLE Open(const std::string& path, DWORD access, DWORD share) {
    return CreateFileW(rt::WideFromGbk(path).c_str(), access, share, nullptr, OPEN_EXISTING, 0, nullptr);
  }
  static Bytes Read(const std::string& path) {
    return TakeByteSet(CallCheckingLeaks(core::CMD_READ_FILE_BYTES, {Text(path.c_str())}));
  }

  std::wstring folder_;
  std::vector<std::wstring> files_;
};

const std::vector<uint8_t> kContent = {'f', 'r', 0, 'a', 0xB0, 0x41, '\r', '\n'};

TEST_F(ReadFileBytes, WholeFileWithEveryByte) {
  EXPECT_EQ(Read(Write(L"frame.txt", kContent)), kContent);
}

TEST_F(ReadFileBytes, NameIsGbk) {
  EXPECT_EQ(Read(Write(L"帧0001.txt", kContent)), kContent);
}

TEST_F(ReadFileBytes, NothingToReadGivesTheEmptyByteSet) {
  std::string empty = Write(L"empty.txt", {});
  std::string missing = rt::GbkFromWide(Path(L"missing.txt"));
  std::string folder = rt::GbkFromWide(folder_);
  struct Case {
    const char* name;
    std::vector<rt::ArgRecord> arguments;
    const char* refusal = nullptr;  // commands_test_support.h
  } cases[] = {
      {"empty file", {Text(empty.c_str())}},
      {"missing file", {Text(missing.c_str())}},
      {"a folder", {Text(folder.c_str())}},
      {"empty name", {Text("")}},
      {"null name", {Text(nullptr)}},
      {"name missing", {}, "ReadFileBytes 1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(TakeByteSet(CallCheckingLeaks(core::CMD_READ_FILE_BYTES, c.arguments, c.refusal)), std::nullopt);
  }
}

// Readers may share the file; a file opened without sharing, or opened by a
// writer, is not read.
TEST_F(ReadFileBytes, OpenElsewhere) {
  std::string path = Write(L"shared.txt", kContent);
  struct Case {
    const char* name;
    DWORD access;
    DWORD share;
    Bytes expected;
  } cases[] = {
      {"by a reader sharing reading", GENERIC_READ, FILE_SHARE_READ, kContent},
      {"by a reader sharing nothing", GENERIC_READ, 0, std::nullopt},
      {"by a writer sharing everything", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, std::nullopt},
  };
  for (const Case& c : cases) {
    HandleCloser other(Open(path, c.access, c.share));
    ASSERT_NE(other.get(), INVALID_HANDLE_VALUE) << c.name;
    EXPECT_EQ(Read(path), c.expected) << c.name;
  }
}

TEST_F(ReadFileBytes, FileIsClosedAfterReading) {
  std::string path = Write(L"closed.txt", kContent);
  ASSERT_EQ(Read(path), kContent);
  HandleCloser alone(Open(path, GENERIC_WRITE, 0));
  EXPECT_NE(alone.get(), INVALID_HANDLE_VALUE);
}

TEST_F(ReadFileBytes, TwentyMegabytes) {
  std::vector<uint8_t> content(20u << 20);
  uint32_t state = 12345;
  for (uint8_t& byte : content) {
    state = state * 1664525u + 1013904223u;
    byte = uint8_t(state >> 24);
  }
  Bytes read = Read(Write(L"large.bin", content));
  ASSERT_TRUE(read);
  ASSERT_EQ(read->size(), content.size());
  EXPECT_TRUE(*read == content);
}

// A byte set's length word holds at most 2^31 - 1 bytes.
TEST_F(ReadFileBytes, FileTooLargeForAByteSetGivesTheEmptyByteSet) {
  std::string path = Write(L"sparse.bin", {});
  {
    HandleCloser file(Open(path, GENERIC_WRITE, 0));
    LARGE_INTEGER size{};
    size.QuadPart = int64_t(1) << 31;
    ASSERT_TRUE(SetFilePointerEx(file.get(), size, nullptr, FILE_BEGIN));
    ASSERT_TRUE(SetEndOfFile(file.get()));
  }
  EXPECT_EQ(Read(path), std::nullopt);
}

// A read that ends early: the byte set holds the bytes that came, none
// for a read cut at once.
TEST_F(ReadFileBytes, AReadCutShortHoldsTheBytesThatCame) {
  std::string path = Write(L"cut.txt", kContent);
  for (size_t n = 0; n <= kContent.size(); ++n) {
    rt::fault::ReadCut cut(n);
    Bytes expected;
    if (n > 0) expected = std::vector<uint8_t>(kContent.begin(), kContent.begin() + std::ptrdiff_t(n));
    EXPECT_EQ(Read(path), expected) << "cut at byte " << n;
  }
}

}  // namespace
