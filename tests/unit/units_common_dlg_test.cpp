#include "units/common_dlg.h"
#include "units/common_dlg_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cwchar>
#include <functional>
#include <string>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

#include "commands/dialog_commands.h"
#include "runtime/gbk.h"
#include "runtime/state.h"
#include "tests/unit/loaded_window.h"
#include "tests/unit/unit_properties.h"
#include "tests/unit/units_test_support.h"

namespace {

using units_test::Blob;

// The Config window's CommonDlg1: an open-file dialog for the background track.
std::vector<uint8_t> SelectBgmBlob(uint32_t version = 1) {
  Blob blob;
  blob.word(version).word(0).word(0).word(0).word(1).word(1).word(1).word(0).word(0x80);
  blob.word(0).word(0).word(0).word(0).word(0).word(0).word(0);
  blob.text("Select BGM File").text("").text("MP3(*.mp3)|*.mp3").text("").text("").text("").text("");
  return blob;
}

TEST(CommonDlgBlob, ReadsThePlayersDialog) {
  std::vector<uint8_t> blob = SelectBgmBlob();
  ASSERT_EQ(blob.size(), 123u);
  auto p = units::ReadCommonDlgBlob(blob);
  ASSERT_TRUE(p);
  EXPECT_EQ(p->dialogKind, 0);
  EXPECT_EQ(p->title, "Select BGM File");
  EXPECT_EQ(p->filter, "MP3(*.mp3)|*.mp3");
  EXPECT_EQ(p->fileName, "");
  EXPECT_EQ(p->createPrompt, 0);
  EXPECT_EQ(p->fileMustExist, 1);
  EXPECT_EQ(p->overwritePrompt, 1);
  EXPECT_EQ(p->pathMustExist, 1);
  EXPECT_EQ(p->keepDirectory, 0);
  EXPECT_EQ(p->fontColor, 0x80u);
  EXPECT_EQ(units::WriteCommonDlgBlob(*p), blob);
}

TEST(CommonDlgBlob, EveryFieldHasItsPlace) {
  std::vector<uint8_t> blob = Blob()
                                  .word(1)
                                  .word(2)
                                  .word(3)
                                  .word(4)
                                  .word(5)
                                  .word(6)
                                  .word(7)
                                  .word(8)
                                  .word(9)
                                  .word(10)
                                  .word(11)
                                  .word(12)
                                  .word(13)
                                  .word(14)
                                  .word(15)
                                  .word(16)
                                  .text("title")
                                  .text("file")
                                  .text("filter")
                                  .text("directory")
                                  .text("ext")
                                  .text("宋体")
                                  .text("help");
  auto p = units::ReadCommonDlgBlob(blob);
  ASSERT_TRUE(p);
  const int32_t words[] = {p->dialogKind, p->filterIndex, p->createPrompt, p->fileMustExist, p->overwritePrompt,
                           p->pathMustExist, p->keepDirectory, int32_t(p->fontColor), p->bold, p->italic,
                           p->strikeout, p->underline, p->fontSize, p->helpCommand, p->helpTopic};
  for (int32_t i = 0; i < int32_t(std::size(words)); ++i) EXPECT_EQ(words[i], i + 2) << "word " << i + 1;
  const std::string texts[] = {p->title, p->fileName, p->filter, p->initialDirectory, p->defaultExtension,
                               p->fontName, p->helpFile};
  const char* expected[] = {"title", "file", "filter", "directory", "ext", "宋体", "help"};
  for (size_t i = 0; i < std::size(texts); ++i) EXPECT_EQ(texts[i], expected[i]);
  EXPECT_EQ(units::WriteCommonDlgBlob(*p), blob);
}

TEST(CommonDlgBlob, OlderVersionIsWrittenAsTheNewest) {
  std::vector<uint8_t> old = SelectBgmBlob(0);
  EXPECT_EQ(units::WriteCommonDlgBlob(*units::ReadCommonDlgBlob(old)), SelectBgmBlob());
}

TEST(CommonDlgBlob, NewerVersionIsRefused) { EXPECT_FALSE(units::ReadCommonDlgBlob(SelectBgmBlob(2))); }

TEST(CommonDlgBlob, EmptyBlobGivesDefaults) {
  auto p = units::ReadCommonDlgBlob({});
  ASSERT_TRUE(p);
  EXPECT_EQ(p->dialogKind, 0);
  EXPECT_EQ(p->createPrompt, 0);
  EXPECT_EQ(p->fileMustExist, 1);
  EXPECT_EQ(p->overwritePrompt, 1);
  EXPECT_EQ(p->pathMustExist, 1);
  EXPECT_EQ(p->keepDirectory, 0);
  EXPECT_EQ(p->filter, "");
}

TEST(CommonDlgBlob, TruncatedBlobsAreRefused) {
  units_test::ExpectPrefixesRefused(units::ReadCommonDlgBlob, SelectBgmBlob());
}

TEST(CommonDlgCreate, MakesAHiddenWindowOfItsOwn) {
  units_test::ParentWindow parent;
  auto* unit = parent.Create(units::CommonDlgInterface, SelectBgmBlob(), {240, 8, 266, 34});
  ASSERT_TRUE(unit);
  HWND window = unit->handle();
  EXPECT_EQ(units_test::ClassOf(window), L"_QX_CommonDlg");
  EXPECT_EQ(units_test::StyleOf(window), DWORD(WS_CHILD | WS_CLIPSIBLINGS));
  EXPECT_EQ(units_test::PlaceOf(window), units_test::Describe({240, 8, 266, 34}));
  EXPECT_EQ(GetDlgCtrlID(window), 100);
  EXPECT_EQ(units_test::Serialize(units::CommonDlgInterface, unit), SelectBgmBlob());
}

TEST(CommonDlgCreate, DesignModeFramesTheWindow) {
  units_test::ParentWindow parent;
  auto* unit = parent.Create(units::CommonDlgInterface, SelectBgmBlob(), {0, 0, 26, 26}, 0, 100, true);
  ASSERT_TRUE(unit);
  EXPECT_TRUE(units_test::StyleOf(unit->handle()) & WS_BORDER);
}

TEST(CommonDlgCreate, RefusedBlobCreatesNothing) {
  units_test::ParentWindow parent;
  EXPECT_FALSE(parent.Create(units::CommonDlgInterface, SelectBgmBlob(2), {0, 0, 26, 26}));
}

// The font name is a text of its own, not a stored font's face.
TEST(CommonDlgTexts, VisitsEveryText) {
  units::CommonDlgProperties p;
  p.title = "t", p.fileName = "f", p.filter = "x", p.initialDirectory = "d";
  p.defaultExtension = "e", p.fontName = "n", p.helpFile = "h";
  units_test::TextVisits visits = units_test::VisitTexts(units::CommonDlgInterface, units::WriteCommonDlgBlob(p), "");
  EXPECT_EQ(visits.seen,
            (units_test::TextVisitList{{"t", 0}, {"f", 0}, {"x", 0}, {"d", 0}, {"e", 0}, {"n", 0}, {"h", 0}}));
  p.title = "t!", p.fileName = "f!", p.filter = "x!", p.initialDirectory = "d!";
  p.defaultExtension = "e!", p.fontName = "n!", p.helpFile = "h!";
  EXPECT_EQ(visits.blob, units::WriteCommonDlgBlob(p));
  EXPECT_FALSE(units_test::VisitTexts(units::CommonDlgInterface, SelectBgmBlob(2), "").blob)
      << "a refused blob gives nothing";
}

// The list as the platform reads it: every zero shown as "|".
std::wstring Shown(const std::wstring& list) {
  std::wstring shown = list;
  std::replace(shown.begin(), shown.end(), L'\0', L'|');
  return shown;
}

TEST(CommonDlgFilter, ListEndsInTwoZerosWhateverTheEnding) {
  // A GBK character whose second byte is "|" (0x7C) stays one character.
  const std::string bar = "\x81\x7C";
  const std::wstring barWide = rt::WideFromGbk(bar);
  struct Case {
    std::string filter;
    std::wstring list;
  } cases[] = {
      {"MP3(*.mp3)|*.mp3", L"MP3(*.mp3)|*.mp3||"},
      {"MP3(*.mp3)|*.mp3||", L"MP3(*.mp3)|*.mp3||"},
      {"MP3(*.mp3)|*.mp3  \t\r\n", L"MP3(*.mp3)|*.mp3||"},
      {"MP3(*.mp3)|*.mp3|| ", L"MP3(*.mp3)|*.mp3||"},
      {"A|*.a|B|*.b", L"A|*.a|B|*.b||"},
      {"A|*.a|", L"A|*.a|||"},
      {"音乐|*.mp3", L"音乐|*.mp3||"},
      {bar + "|*.x", barWide + L"|*.x||"},
      {"", L""},
      {" \t ", L""},
  };
  ASSERT_EQ(barWide.size(), 1u);
  for (const Case& c : cases) {
    std::wstring list = units::FilterList(c.filter);
    EXPECT_EQ(Shown(list), c.list) << "filter \"" << c.filter << "\"";
    EXPECT_EQ(list.find(L'|'), std::wstring::npos) << "filter \"" << c.filter << "\"";
  }
}

// ---- The platform's side, recorded --------------------------------------------

// What the fake platform saw, texts as "(none)" when not given.
struct Seen {
  std::string function;
  DWORD flags = 0;
  std::wstring filter;
  DWORD filterIndex = 0;
  std::wstring title, directory, extension, file;
  DWORD maxFile = 0;
  HWND owner = nullptr;
  LOGFONTW font{};
  COLORREF color = 0;
  struct HelpCall {
    HWND window;
    std::wstring file;
    UINT command;
    ULONG_PTR data;
  };
  std::vector<HelpCall> help;
};

struct Answer {
  BOOL confirm = TRUE;
  std::wstring path;
  void (*meanwhile)() = nullptr;  // what happens while the dialog is open
  LOGFONTW font{};
  COLORREF color = 0;
};

Seen seen;
Answer answer;

std::wstring TextOrNone(const wchar_t* text) { return text ? text : L"(none)"; }

std::wstring ListOrNone(const wchar_t* list) {
  if (!list) return L"(none)";
  std::wstring all;
  for (; *list; list += std::wcslen(list) + 1) all.append(list).append(L"|");
  return all;
}

BOOL FileDialog(const char* function, OPENFILENAMEW* record) {
  seen.function = function;
  seen.flags = record->Flags;
  seen.filter = ListOrNone(record->lpstrFilter);
  seen.filterIndex = record->nFilterIndex;
  seen.title = TextOrNone(record->lpstrTitle);
  seen.directory = TextOrNone(record->lpstrInitialDir);
  seen.extension = TextOrNone(record->lpstrDefExt);
  seen.file = record->lpstrFile;
  seen.maxFile = record->nMaxFile;
  seen.owner = record->hwndOwner;
  if (answer.meanwhile) answer.meanwhile();
  if (answer.confirm && answer.path.size() < record->nMaxFile) std::wcscpy(record->lpstrFile, answer.path.c_str());
  return answer.confirm;
}
BOOL WINAPI FakeOpen(OPENFILENAMEW* record) { return FileDialog("open", record); }
BOOL WINAPI FakeSave(OPENFILENAMEW* record) { return FileDialog("save", record); }

BOOL WINAPI FakeChooseFont(CHOOSEFONTW* record) {
  seen.function = "font";
  seen.flags = record->Flags;
  seen.font = *record->lpLogFont;
  seen.color = record->rgbColors;
  seen.owner = record->hwndOwner;
  if (answer.confirm) *record->lpLogFont = answer.font, record->rgbColors = answer.color;
  return answer.confirm;
}

BOOL WINAPI FakeWinHelp(HWND window, LPCWSTR file, UINT command, ULONG_PTR data) {
  seen.help.push_back({window, TextOrNone(file), command, data});
  return TRUE;
}

constexpr units::CommonDialogPlatform kFakePlatform{&FakeOpen, &FakeSave, &FakeChooseFont, &FakeWinHelp};

constexpr uint32_t kDialogId = 0x16017002;
constexpr uint32_t kCommonDlgCode = 0x0001001F;

int PixelsPerInch() {
  HDC screen = GetDC(nullptr);
  int pixels = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return pixels;
}

class CommonDlgUnit : public testing_support::LoadedWindowTest {
 protected:
  void SetUp() override {
    LoadedWindowTest::SetUp();
    seen = {};
    answer = {};
  }
  void Load(std::vector<uint8_t> blob = SelectBgmBlob()) {
    LoadWith({{kDialogId, kCommonDlgCode, 0, {}, "", std::move(blob)}});
  }
  static bool RunFake() { return units::RunCommonDialog(*Unit(kDialogId), kFakePlatform); }
  // The core command, as the player calls it.
  static bool Show(uint32_t unitId = kDialogId) {
    rt::ArgRecord result{};
    rt::ArgRecord unit{kWindowId, unitId, kCommonDlgCode};
    core::ShowCommonDialog(&result, 1, &unit);
    return result.low != 0;
  }

  const units_test::UnitProperties dialog{kWindowId, kDialogId, units::kCommonDlgType};
};

TEST_F(CommonDlgUnit, WritesAreClampedAsStored) {
  Load();
  const units_test::PropertyCase cases[] = {
      {"dialog kind above its range", units::CD_DIALOG_KIND, 7, 3},
      {"help command above its range", units::CD_HELP_COMMAND, 9, 5},
      {"negative filter index", units::CD_FILTER_INDEX, -4, 0},
      {"negative font size", units::CD_FONT_SIZE, -12, 0},
      {"negative help topic, kept", units::CD_HELP_TOPIC, -7, -7},
  };
  dialog.ExpectReads(cases);
}

TEST_F(CommonDlgUnit, EachLogicalPropertyGivesItsFlag) {
  Load();
  struct Case {
    int property;
    uint32_t written;
    DWORD flags;
  } cases[] = {
      {units::CD_CREATE_PROMPT, 0, 0x1806},    {units::CD_CREATE_PROMPT, 1, 0x3806},
      {units::CD_FILE_MUST_EXIST, 0, 0x0806},  {units::CD_OVERWRITE_PROMPT, 0, 0x1804},
      {units::CD_PATH_MUST_EXIST, 0, 0x1006},  {units::CD_KEEP_DIRECTORY, 1, 0x180E},
  };
  for (const Case& c : cases) {
    int64_t before = dialog.ReadNumber(c.property);
    dialog.Write(c.property, c.written);
    RunFake();
    EXPECT_EQ(seen.flags, c.flags) << "property " << c.property << " written as " << c.written;
    dialog.Write(c.property, before);
  }
}

TEST_F(CommonDlgUnit, ThePlayersDialogIsAnOwnerlessOpenDialog) {
  Load();
  answer.confirm = FALSE;
  RunFake();
  EXPECT_EQ(seen.function, "open");
  EXPECT_EQ(seen.filter, L"MP3(*.mp3)|*.mp3|");
  EXPECT_EQ(seen.filterIndex, 1u);
  EXPECT_EQ(seen.title, L"Select BGM File");
  EXPECT_EQ(seen.directory, L"(none)");
  EXPECT_EQ(seen.extension, L"(none)");
  EXPECT_EQ(seen.file, L"");
  EXPECT_EQ(seen.maxFile, 32768u) << "room for the longest path";
  EXPECT_EQ(seen.owner, nullptr);
}

TEST_F(CommonDlgUnit, SaveDialogTakesEveryTextThatIsGiven) {
  Load();
  dialog.Write(units::CD_DIALOG_KIND, units::DIALOG_SAVE_FILE);
  dialog.Write(units::CD_FILTER, "A|*.a|B|*.b");
  dialog.Write(units::CD_FILTER_INDEX, 1);
  dialog.Write(units::CD_INITIAL_DIRECTORY, "C:\\音乐");
  dialog.Write(units::CD_DEFAULT_EXTENSION, "mp3");
  dialog.Write(units::CD_FILE_NAME, "曲目.mp3");
  dialog.Write(units::CD_TITLE, "");
  answer.confirm = FALSE;
  RunFake();
  EXPECT_EQ(seen.function, "save");
  EXPECT_EQ(seen.filter, L"A|*.a|B|*.b|");
  EXPECT_EQ(seen.filterIndex, 2u) << "index 1 selects the second pair";
  EXPECT_EQ(seen.directory, L"C:\\音乐");
  EXPECT_EQ(seen.extension, L"mp3");
  EXPECT_EQ(seen.file, L"曲目.mp3");
  EXPECT_EQ(seen.title, L"(none)");

  dialog.Write(units::CD_FILTER, "  ");
  RunFake();
  EXPECT_EQ(seen.filter, L"(none)");
  EXPECT_EQ(seen.filterIndex, 0u) << "no filter, no index";
}

TEST_F(CommonDlgUnit, ConfirmedDialogStoresThePathCancelledKeepsTheOldOne) {
  Load();
  dialog.Write(units::CD_FILE_NAME, "old.mp3");
  answer.path = L"C:\\音乐\\曲目.mp3";
  EXPECT_TRUE(RunFake());
  EXPECT_EQ(dialog.ReadText(units::CD_FILE_NAME), rt::GbkFromWide(L"C:\\音乐\\曲目.mp3"));
  answer = {FALSE, L"C:\\other.mp3"};
  EXPECT_FALSE(RunFake());
  EXPECT_EQ(dialog.ReadText(units::CD_FILE_NAME), rt::GbkFromWide(L"C:\\音乐\\曲目.mp3"));
}

// The dialog has no owner: the unit's window can be closed while it is open.
TEST_F(CommonDlgUnit, WindowClosedDuringTheDialogTakesNothing) {
  Load();
  answer.path = L"C:\\track.mp3";
  answer.meanwhile = [] { DestroyWindow(Handle(0)); };
  EXPECT_FALSE(units::RunCommonDialog(*Unit(kDialogId), kFakePlatform));
  EXPECT_EQ(Unit(kDialogId), nullptr);
}

TEST_F(CommonDlgUnit, FontDialogStartsFromThePropertiesAndWritesTheChoiceBack) {
  Load();
  dialog.Write(units::CD_DIALOG_KIND, units::DIALOG_FONT);
  dialog.Write(units::CD_BOLD, 1);
  dialog.Write(units::CD_ITALIC, 1);
  dialog.Write(units::CD_FONT_NAME, "宋体");
  dialog.Write(units::CD_FONT_SIZE, 12);
  answer.font.lfHeight = -MulDiv(20, PixelsPerInch(), 72);
  answer.font.lfWeight = FW_NORMAL;
  answer.font.lfUnderline = 1;
  answer.font.lfStrikeOut = 1;
  std::wcscpy(answer.font.lfFaceName, L"黑体");
  answer.color = RGB(0, 0, 255);
  EXPECT_TRUE(RunFake());

  EXPECT_EQ(seen.function, "font");
  EXPECT_EQ(seen.flags & (CF_SCREENFONTS | CF_EFFECTS | CF_INITTOLOGFONTSTRUCT),
            DWORD(CF_SCREENFONTS | CF_EFFECTS | CF_INITTOLOGFONTSTRUCT));
  EXPECT_EQ(seen.font.lfWeight, FW_BOLD);
  EXPECT_EQ(seen.font.lfItalic, 1);
  EXPECT_EQ(seen.font.lfUnderline, 0);
  EXPECT_EQ(seen.font.lfHeight, -MulDiv(12, PixelsPerInch(), 72));
  EXPECT_STREQ(seen.font.lfFaceName, L"宋体");
  EXPECT_EQ(seen.color, COLORREF(0x80));

  struct Case {
    int property;
    int64_t value;
  } cases[] = {{units::CD_BOLD, 0},      {units::CD_ITALIC, 0},     {units::CD_UNDERLINE, 1},
               {units::CD_STRIKEOUT, 1}, {units::CD_FONT_SIZE, 20}, {units::CD_FONT_COLOR, 0xFF0000}};
  for (const Case& c : cases) EXPECT_EQ(dialog.ReadNumber(c.property), c.value) << "property " << c.property;
  EXPECT_EQ(dialog.ReadText(units::CD_FONT_NAME), "黑体");
}

TEST_F(CommonDlgUnit, CancelledFontDialogChangesNothing) {
  Load();
  dialog.Write(units::CD_DIALOG_KIND, units::DIALOG_FONT);
  std::vector<uint8_t> before = units_test::Serialize(units::CommonDlgInterface, Unit(kDialogId));
  answer.confirm = FALSE;
  EXPECT_FALSE(RunFake());
  EXPECT_EQ(units_test::Serialize(units::CommonDlgInterface, Unit(kDialogId)), before);
}

TEST_F(CommonDlgUnit, LongFontNameIsCutToTheFaceNameField) {
  Load();
  dialog.Write(units::CD_DIALOG_KIND, units::DIALOG_FONT);
  struct Case {
    std::string name;
    std::wstring face;
  } cases[] = {
      {std::string(40, 'A'), std::wstring(31, L'A')},
      {std::string(31, 'B'), std::wstring(31, L'B')},
      {"宋体宋体宋体宋体宋体宋体宋体宋体宋体", L"宋体宋体宋体宋体宋体宋体宋体宋体宋体"},
      {"字字字字字字字字字字字字字字字字字字字字字字字字字字字字字字字字字字", std::wstring(31, L'字')},
  };
  answer.confirm = FALSE;
  for (const Case& c : cases) {
    dialog.Write(units::CD_FONT_NAME, c.name);
    RunFake();
    EXPECT_EQ(std::wstring(seen.font.lfFaceName, wcsnlen(seen.font.lfFaceName, LF_FACESIZE)), c.face)
        << "font name of " << c.name.size() << " bytes";
  }
}

// ---- Help ------------------------------------------------------------------------

// A file that exists for the length of a test.
class TemporaryFile {
 public:
  explicit TemporaryFile(const std::wstring& name) {
    wchar_t directory[MAX_PATH];
    GetTempPathW(MAX_PATH, directory);
    path_ = std::wstring(directory) + name;
    CloseHandle(CreateFileW(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  }
  ~TemporaryFile() { DeleteFileW(path_.c_str()); }
  const std::wstring& path() const { return path_; }
  std::string gbk() const { return rt::GbkFromWide(path_); }

 private:
  std::wstring path_;
};

std::string Describe(const std::vector<Seen::HelpCall>& calls) {
  std::string text;
  for (const auto& c : calls)
    text += rt::GbkFromWide(c.file) + " " + std::to_string(c.command) + " " + std::to_string(c.data) + "; ";
  return text;
}

TEST_F(CommonDlgUnit, HelpCommandsCallTheViewerAsTheTableSays) {
  Load();
  TemporaryFile help(L"帮助.hlp");
  dialog.Write(units::CD_DIALOG_KIND, units::DIALOG_HELP);
  dialog.Write(units::CD_HELP_FILE, help.gbk());
  const std::string file = help.gbk();
  struct Case {
    int32_t command;
    int32_t topic;
    std::string call;
  } cases[] = {
      {0, 7, file + " 11 0; "},       {1, 7, file + " 1 7; "},  {1, 0, file + " 11 0; "},
      {2, 7, file + " 8 7; "},        {2, 0, file + " 11 0; "}, {3, 7, file + " 9 0; "},
      {4, 7, "(none) 4 0; "},         {5, 7, "(none) 2 0; "},
  };
  for (const Case& c : cases) {
    seen.help.clear();
    dialog.Write(units::CD_HELP_COMMAND, c.command);
    dialog.Write(units::CD_HELP_TOPIC, c.topic);
    EXPECT_TRUE(RunFake()) << "help command " << c.command;
    EXPECT_EQ(Describe(seen.help), c.call) << "help command " << c.command << ", topic " << c.topic;
    for (const auto& call : seen.help) EXPECT_EQ(call.window, Handle(0)) << "the unit's window";
  }
}

TEST_F(CommonDlgUnit, MissingHelpFileCallsNothing) {
  Load();
  dialog.Write(units::CD_DIALOG_KIND, units::DIALOG_HELP);
  dialog.Write(units::CD_HELP_FILE, "C:\\no such directory\\help.hlp");
  EXPECT_FALSE(RunFake());
  EXPECT_EQ(Describe(seen.help), "");
}

// Without a help file the program's own path names it, extension "hlp".
TEST_F(CommonDlgUnit, DefaultHelpFileIsNamedAfterTheProgram) {
  Load();
  TemporaryFile help(L"ombre.test.hlp");
  rt::RuntimeState& state = rt::State();
  std::pair<std::string, std::string> saved{state.directoryWithBackslash, state.fileName};
  std::string path = help.gbk();
  state.directoryWithBackslash = path.substr(0, path.rfind('\\') + 1);
  state.fileName = "ombre.test.exe";
  dialog.Write(units::CD_DIALOG_KIND, units::DIALOG_HELP);
  EXPECT_TRUE(RunFake());
  EXPECT_EQ(Describe(seen.help), path + " 11 0; ");
  state.fileName = "ombre.other.exe";
  EXPECT_FALSE(RunFake());
  std::tie(state.directoryWithBackslash, state.fileName) = saved;
}

// ---- The real dialogs ---------------------------------------------------------------

// The visible dialog box (#32770) of this process that has the control,
// waited for up to ten seconds.
HWND AwaitDialog(int control) {
  struct Search {
    int control;
    HWND found = nullptr;
  } search{control};
  auto match = [](HWND window, LPARAM data) -> BOOL {
    auto* s = reinterpret_cast<Search*>(data);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != GetCurrentProcessId() || !IsWindowVisible(window) || units_test::ClassOf(window) != L"#32770" ||
        !GetDlgItem(window, s->control))
      return TRUE;
    s->found = window;
    return FALSE;
  };
  for (DWORD start = GetTickCount(); GetTickCount() - start < 10000; Sleep(20)) {
    EnumWindows(match, reinterpret_cast<LPARAM>(&search));
    if (search.found) return search.found;
  }
  return nullptr;
}

// Acts on the next dialog the main thread shows, from a second thread.
class DialogDriver {
 public:
  DialogDriver(int control, std::function<void(HWND)> act)
      : thread_([control, act = std::move(act)] {
          if (HWND dialog = AwaitDialog(control)) act(dialog);
        }) {}
  ~DialogDriver() { thread_.join(); }

 private:
  std::thread thread_;
};

constexpr int kFileTypes = 0x470;
constexpr int kFileNameBox = 0x47C;

std::vector<std::wstring> Entries(HWND box) {
  std::vector<std::wstring> entries(size_t(std::max<LRESULT>(SendMessageW(box, CB_GETCOUNT, 0, 0), 0)));
  for (size_t i = 0; i < entries.size(); ++i) {
    wchar_t text[256] = {};
    SendMessageW(box, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
    entries[i] = text;
  }
  return entries;
}

void Press(HWND dialog, int button) { PostMessageW(GetDlgItem(dialog, button), BM_CLICK, 0, 0); }

TEST_F(CommonDlgUnit, PlayersOpenDialogReturnsTheTypedPath) {
  Load();
  TemporaryFile track(L"曲目.mp3");
  std::wstring title;
  std::vector<std::wstring> types;
  {
    DialogDriver driver(kFileNameBox, [&](HWND dialog) {
      title = units_test::TextOf(dialog);
      types = Entries(GetDlgItem(dialog, kFileTypes));
      SendMessageW(GetDlgItem(dialog, kFileNameBox), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(track.path().c_str()));
      Press(dialog, IDOK);
    });
    EXPECT_TRUE(Show());
  }
  EXPECT_EQ(title, L"Select BGM File");
  EXPECT_EQ(types, std::vector<std::wstring>{L"MP3(*.mp3)"});
  EXPECT_EQ(dialog.ReadText(units::CD_FILE_NAME), track.gbk());
}

TEST_F(CommonDlgUnit, CancelledOpenDialogKeepsThePreviousPath) {
  Load();
  dialog.Write(units::CD_FILE_NAME, "C:\\old.mp3");
  {
    DialogDriver driver(kFileNameBox, [](HWND dialog) { Press(dialog, IDCANCEL); });
    EXPECT_FALSE(Show());
  }
  EXPECT_EQ(dialog.ReadText(units::CD_FILE_NAME), "C:\\old.mp3");
}

TEST_F(CommonDlgUnit, ConfirmedFontDialogReturnsTheInitialFont) {
  Load();
  dialog.Write(units::CD_DIALOG_KIND, units::DIALOG_FONT);
  dialog.Write(units::CD_FONT_NAME, "Tahoma");
  dialog.Write(units::CD_FONT_SIZE, 12);
  dialog.Write(units::CD_BOLD, 1);
  {
    DialogDriver driver(IDOK, [](HWND dialog) { Press(dialog, IDOK); });
    EXPECT_TRUE(Show());
  }
  EXPECT_EQ(dialog.ReadText(units::CD_FONT_NAME), "Tahoma");
  EXPECT_EQ(dialog.ReadNumber(units::CD_FONT_SIZE), 12);
  EXPECT_EQ(dialog.ReadNumber(units::CD_BOLD), 1);
  EXPECT_EQ(dialog.ReadNumber(units::CD_FONT_COLOR), 0x80);
}

TEST_F(CommonDlgUnit, CancelledFontDialogAnswersFalse) {
  Load();
  dialog.Write(units::CD_DIALOG_KIND, units::DIALOG_FONT);
  std::vector<uint8_t> before = units_test::Serialize(units::CommonDlgInterface, Unit(kDialogId));
  {
    DialogDriver driver(IDOK, [](HWND dialog) { Press(dialog, IDCANCEL); });
    EXPECT_FALSE(Show());
  }
  EXPECT_EQ(units_test::Serialize(units::CommonDlgInterface, Unit(kDialogId)), before);
}

TEST_F(CommonDlgUnit, AUnitOfAnotherTypeShowsNothing) {
  Load();
  EXPECT_FALSE(Show(0)) << "the window itself";
}

}  // namespace
