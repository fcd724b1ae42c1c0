// Drag and drop from another process onto the gallery, as from a file
// manager: its created handler registers its window for DropTarget1, which
// accepts files and logs what its event 3 receives.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "driver.h"
#include "gallery_fixture.h"

namespace {

using e2e::Utf8;

// A path in the temporary directory; the drop carries names only.
std::wstring TempPath(const std::wstring& name) {
  wchar_t directory[MAX_PATH];
  GetTempPathW(MAX_PATH, directory);
  return directory + name;
}

class DropOnGallery : public e2e::Gallery {
 protected:
  // A point of the gallery's client area with no control under it.
  POINT DropPoint() const {
    POINT at{460, 330};
    ClientToScreen(window_, &at);
    return at;
  }

  driver::DropOutcome DropFiles(const std::vector<std::wstring>& paths, DWORD keys = 0,
                                DWORD allowed = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK) {
    auto data = driver::DragData::make({driver::fileListFormat(paths)});
    return driver::dragAndDrop(*data, DropPoint(), keys, allowed);
  }

  // How many times event 3 has come.
  size_t Drops() {
    std::vector<std::string> lines = log_.lines();
    return size_t(std::count_if(lines.begin(), lines.end(),
                                [](const std::string& line) { return line.starts_with("OnFilesDropped"); }));
  }
};

// The source sees a drop it may not undo as failed: E_FAIL from DoDragDrop,
// with the effect the target chose. A refused drop is never delivered: OLE
// reports it as dropped with no effect.
constexpr HRESULT kDelivered = E_FAIL;
constexpr HRESULT kRefused = DRAGDROP_S_DROP;

std::string Logged(const std::string& paths) { return "OnFilesDropped " + paths; }

TEST_F(DropOnGallery, TheWindowIsRegisteredOnceASecondRegistrationIsRefused) {
  EXPECT_EQ(Count("RegisterDropWindow 1 0"), 1u) << Joined();
}

TEST_F(DropOnGallery, OneDroppedFileArrivesAsItsPath) {
  std::wstring path = TempPath(L"拖放 甲.txt");
  driver::DropOutcome outcome = DropFiles({path});
  EXPECT_EQ(outcome.result, kDelivered);
  EXPECT_EQ(outcome.effect, DWORD(DROPEFFECT_COPY));
  ASSERT_TRUE(WaitForLine(Logged(Utf8(path))));
  EXPECT_EQ(Drops(), 1u) << Joined();
}

TEST_F(DropOnGallery, TwoDroppedFilesArriveEachFollowedByALineBreak) {
  std::wstring first = TempPath(L"a.mp3"), second = TempPath(L"背景 b.mp3");
  driver::DropOutcome outcome = DropFiles({first, second});
  EXPECT_EQ(outcome.result, kDelivered);
  ASSERT_TRUE(WaitForLine(Logged(Utf8(first) + "\\r\\n" + Utf8(second) + "\\r\\n")));
}

struct RefusalCase {
  const char* name;
  std::wstring path;
  DWORD keys;
  DWORD allowed;
  HRESULT result;
};

// Each refusal is followed by a drop that arrives, at the same place: the
// refused one was not a miss.
TEST_F(DropOnGallery, RefusedDropsRaiseNothing) {
  const RefusalCase cases[] = {
      {"Ctrl+Shift", TempPath(L"ctrl shift.txt"), MK_CONTROL | MK_SHIFT, DROPEFFECT_COPY | DROPEFFECT_LINK, kRefused},
      {"Shift, copy only", TempPath(L"shift.txt"), MK_SHIFT, DROPEFFECT_COPY, kRefused},
  };
  size_t taken = 0;
  for (const RefusalCase& c : cases) {
    driver::DropOutcome refused = DropFiles({c.path}, c.keys, c.allowed);
    EXPECT_EQ(refused.result, c.result) << c.name;
    EXPECT_EQ(refused.effect, DWORD(DROPEFFECT_NONE)) << c.name;
    std::wstring after = TempPath(L"after " + std::to_wstring(++taken) + L".txt");
    EXPECT_EQ(DropFiles({after}).effect, DWORD(DROPEFFECT_COPY)) << c.name;
    ASSERT_TRUE(WaitForLine(Logged(Utf8(after)))) << c.name;
    EXPECT_EQ(Drops(), taken) << c.name << "\n" << Joined();
  }
}

// A name code page 936 cannot hold is left out; with nothing left, the
// event comes with the empty text, and the source sees no effect.
TEST_F(DropOnGallery, ADropOfNamesCodePage936CannotHoldArrivesEmpty) {
  driver::DropOutcome outcome = DropFiles({TempPath(L"\uD55C\uAE00.txt")});
  EXPECT_EQ(outcome.result, kDelivered);
  EXPECT_EQ(outcome.effect, DWORD(DROPEFFECT_NONE));
  ASSERT_TRUE(WaitForLine("OnFilesDropped"));  // the handler logs no text after its name
  EXPECT_EQ(Drops(), 1u) << Joined();
}

}  // namespace
