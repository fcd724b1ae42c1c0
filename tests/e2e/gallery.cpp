// The unit gallery: a program on the runtime whose window holds every unit
// type (tests/e2e/forms/gallery.form), for the end-to-end tests of the units.
//   gallery <log>
// Every handler appends a line to <log> (UTF-8): its name, then what it saw
// or did. The buttons run the scenarios: write a box's content twice, show
// the open dialog, show a message box, load a modal child window whose own
// buttons destroy it, run the status bar commands, show the folder dialog,
// play, pause and stop a track.
#include <windows.h>

#include <shellapi.h>

#include <cstdio>
#include <initializer_list>
#include <iterator>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "commands/core_library.h"
#include "libraries/drag_drop/drop_target.h"
#include "libraries/extended_ui/status_bar.h"
#include "commands/program_libraries.h"
#include "libraries/multimedia/media_play.h"
#include "libraries/shell/shell_commands.h"
#include "runtime/gbk.h"
#include "runtime/helpers.h"
#include "runtime/program.h"
#include "runtime/services.h"
#include "windows/framework.h"

namespace gallery {

extern const unsigned char kFormData[];
extern const unsigned int kFormDataSize;
extern const rt::EventHandler kHandlers[];
extern const unsigned int kHandlerCount;

namespace {

constexpr uint32_t kGallery = 0x52020001, kGalleryRecord = 0x06020000;
constexpr uint32_t kChild = 0x52020002, kChildRecord = 0x06020100;
constexpr uint32_t kByteBox = 0x16020004, kCheckBox = 0x16020007, kMultiLineBox = 0x1602000A;
constexpr uint32_t kCommonDlg = 0x1602000F, kDropTarget = 0x16020010;
constexpr uint32_t kWindowType = 0x00010001, kCommonDlgType = 0x0001001F;
constexpr int kContent = 8, kChecked = 18, kFileName = 10;
constexpr rt::ArgRecord kStatusBar{kGallery, 0x1602000E, lib::extended_ui::kStatusBarTypeCode};
constexpr rt::ArgRecord kMediaPlay{kGallery, 0x16020011, lib::multimedia::kMediaPlayTypeCode};
constexpr uint32_t kMediaPathBox = 0x16020400;

std::wstring logPath;

void Log(const std::string& name, const std::string& detail = {}) {
  std::string gbkLine = name;
  if (!detail.empty()) gbkLine += ' ';
  gbkLine += detail;
  std::wstring wide = rt::WideFromGbk(gbkLine);
  int n = WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), int(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string utf8(size_t(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), int(wide.size()), utf8.data(), n, nullptr, nullptr);
  if (FILE* f = _wfopen(logPath.c_str(), L"ab")) {
    std::fprintf(f, "%s\n", utf8.c_str());
    std::fclose(f);
  }
}

const rt::RuntimeServices& Runtime() { return rt::Services(); }

rt::ArgRecord Call(core::CoreCommand command, std::initializer_list<rt::ArgRecord> arguments) {
  rt::ArgRecord records[4];
  std::copy(arguments.begin(), arguments.end(), records);
  return Runtime().CallCoreCommand(core::kCoreLibrary.commands[command], int(arguments.size()), records);
}

rt::ArgRecord Text(const char* text) { return rt::MakeBlock(rt::TYPE_TEXT, text); }

std::string ReadText(uint32_t window, uint32_t unit, int property) {
  auto* text = reinterpret_cast<char*>(intptr_t(Runtime().ReadUnitProperty(window, unit, property, -1)));
  std::string copy = text ? text : "";
  Runtime().FreeMemory(text);
  return copy;
}

void WriteText(uint32_t window, uint32_t unit, int property, const char* text) {
  rt::ArgRecord value = Text(text);
  Runtime().WriteUnitProperty(window, unit, property, -1, value.low, value.high);
}

std::string Number(int64_t value) { return std::to_string(value); }

// Line breaks in a logged text, written out so that it stays on its line.
std::string OneLine(std::string_view text) {
  std::string line;
  for (char c : text) line += c == '\r' ? "\\r" : c == '\n' ? "\\n" : std::string(1, c);
  return line;
}

// The gallery's window takes drops for DropTarget1; a second registration
// on the same unit is refused.
void RegisterDropWindow() {
  rt::ArgRecord handle = Call(core::CMD_GET_WINDOW_HANDLE, {{kGallery, kGalleryRecord, kWindowType}});
  auto registered = [&] {
    rt::ArgRecord records[] = {{kGallery, kDropTarget, lib::drag_drop::kDropTargetTypeCode}, handle};
    return Runtime().CallLibraryCommand(rt::LIB_DRAG_DROP, lib::kDragDropLibrary.commands[0], 2, records).low;
  };
  uint32_t first = registered();
  Log("RegisterDropWindow", Number(first) + " " + Number(registered()));
}

rt::ArgRecord Call(lib::extended_ui::StatusBarCommand command, std::vector<rt::ArgRecord> arguments) {
  return Runtime().CallLibraryCommand(rt::LIB_EXTENDED_UI, lib::kExtendedUiLibrary.commands[command],
                                      int(arguments.size()), arguments.data());
}

std::string PartText(int part) {
  rt::ArgRecord text = Call(lib::extended_ui::CMD_GET_PART_TEXT, {kStatusBar, rt::MakeInt(part)});
  std::string copy = text.text() ? text.text() : "";
  Runtime().FreeMemory(text.pointer());
  return copy;
}

// Parts 0 to 2 of the status bar, as GetPartText reads them; the bar has two.
std::string PartTexts() { return PartText(0) + "|" + PartText(1) + "|" + PartText(2); }

void SetPartText(int part, std::vector<rt::ArgRecord> text) {
  text.insert(text.begin(), {kStatusBar, rt::MakeInt(part)});
  Call(lib::extended_ui::CMD_SET_PART_TEXT, text);
}

void SetPartWidth(int part, std::vector<rt::ArgRecord> width) {
  width.insert(width.begin(), {kStatusBar, rt::MakeInt(part)});
  Call(lib::extended_ui::CMD_SET_PART_WIDTH, width);
}

constexpr int kWorkerWrites = 200;

// As the player's playback thread does: each write read back at once.
void WriteFromAWorker() {
  std::string text;
  int misread = 0;
  for (int i = 1; i <= kWorkerWrites; ++i) {
    text = "线程 Worker " + Number(i);
    SetPartText(1, {Text(text.c_str())});
    misread += PartText(1) != text;
  }
  Log("OnStatusWorker", text + " misread " + Number(misread));
}

// MediaPlay1's command; its logical result.
uint32_t Media(lib::multimedia::MediaPlayCommand command, std::vector<rt::ArgRecord> more = {}) {
  more.insert(more.begin(), kMediaPlay);
  return Runtime()
      .CallLibraryCommand(rt::LIB_MULTIMEDIA, lib::kMultimediaLibrary.commands[command], int(more.size()), more.data())
      .low;
}

// As the player's playback thread starts the background track.
void OpenAndPlay(std::string path) {
  uint32_t opened = Media(lib::multimedia::CMD_OPEN, {Text(path.c_str())});
  uint32_t played = Media(lib::multimedia::CMD_PLAY, {rt::MakeInt(-1)});
  Log("OnMediaPlay", Number(opened) + " " + Number(played));
}

}  // namespace

void OnGalleryCreated(rt::HandlerCall&) {
  RegisterDropWindow();
  Log("OnGalleryCreated");
}
void OnByteBoxLeft(rt::HandlerCall&) { Log("OnByteBoxLeft", ReadText(kGallery, kByteBox, kContent)); }
void OnSpinPressed(rt::HandlerCall& call) { Log("OnSpinPressed", Number(call.argument(0))); }
void OnContentChanged(rt::HandlerCall&) { Log("OnContentChanged", ReadText(kGallery, kMultiLineBox, kContent)); }
void OnCheckClicked(rt::HandlerCall&) {
  Log("OnCheckClicked", Number(Runtime().ReadUnitProperty(kGallery, kCheckBox, kChecked, -1)));
}

// Two writes of the same text: each raises the box's event 0 once.
void OnWriteContent(rt::HandlerCall&) {
  WriteText(kGallery, kMultiLineBox, kContent, "甲乙");
  WriteText(kGallery, kMultiLineBox, kContent, "甲乙");
  Log("OnWriteContent done");
}

void OnOpenDialog(rt::HandlerCall&) {
  rt::ArgRecord confirmed = Call(core::CMD_SHOW_COMMON_DIALOG, {{kGallery, kCommonDlg, kCommonDlgType}});
  Log("OnOpenDialog", Number(confirmed.low) + " " + ReadText(kGallery, kCommonDlg, kFileName));
}

void OnShowMessage(rt::HandlerCall&) {
  rt::ArgRecord pressed = Call(core::CMD_SHOW_MESSAGE, {Text("出错了 Something failed"), rt::MakeInt(16),
                                                        Text("Gallery Error")});
  Log("OnShowMessage", Number(pressed.low));
}

void OnOpenChild(rt::HandlerCall&) {
  rt::ArgRecord loaded = Call(core::CMD_LOAD_FORM_WINDOW, {{kChild, kChildRecord, kWindowType},
                                                           {kGallery, kGalleryRecord, kWindowType},
                                                           rt::MakeBool(true)});
  Log("OnOpenChild", Number(loaded.low));
}

void OnChildCreated(rt::HandlerCall&) { Log("OnChildCreated"); }
void OnChildDestroying(rt::HandlerCall&) { Log("OnChildDestroying"); }

void OnCloseChildAtOnce(rt::HandlerCall&) {
  Call(core::CMD_DESTROY_FORM_WINDOW, {{kChild, kChildRecord, kWindowType}, rt::MakeBool(true)});
  Log("OnCloseChildAtOnce returned");
}

void OnCloseChildLater(rt::HandlerCall&) {
  Call(core::CMD_DESTROY_FORM_WINDOW, {{kChild, kChildRecord, kWindowType}});
  Log("OnCloseChildLater returned");
}

// Event 3's one argument is the address of a variable holding the paths.
void OnFilesDropped(rt::HandlerCall& call) {
  const char* paths = *reinterpret_cast<char* const*>(intptr_t(call.arguments[0]));
  Log("OnFilesDropped", OneLine(paths ? paths : ""));
}

// Click 1 writes part 0, a part past the bar's two, and both widths; click 2
// leaves out part 1's text (emptying it), omits part 0's width (the default)
// and gives part 1 a width below -1 (the rest of the bar); click 3 writes
// part 1 from a worker thread.
void OnStatusCommands(rt::HandlerCall&) {
  static int clicks = 0;
  switch (++clicks) {
    case 1:
      SetPartText(0, {Text("状态 Busy")});
      SetPartText(5, {Text("past the parts")});
      SetPartWidth(0, {rt::MakeInt(120)});
      SetPartWidth(1, {rt::MakeInt(300)});
      break;
    case 2:
      SetPartText(1, {});
      SetPartWidth(0, {rt::ArgRecord{}});
      SetPartWidth(1, {rt::MakeInt(-5)});
      break;
    default: std::thread(WriteFromAWorker).detach(); return;
  }
  Log("OnStatusCommands " + Number(clicks), PartTexts());
}

// The chosen path in brackets, which stay empty for a cancelled dialog.
void OnBrowseFolder(rt::HandlerCall&) {
  rt::ArgRecord title = Text("选择文件夹 Choose a folder");
  rt::ArgRecord chosen = Runtime().CallLibraryCommand(
      rt::LIB_SHELL, lib::kShellLibrary.commands[lib::shell::CMD_BROWSE_FOR_FOLDER], 1, &title);
  std::string detail = "[";
  detail += chosen.text() ? chosen.text() : "";
  Log("OnBrowseFolder", detail + ']');
  Runtime().FreeMemory(chosen.pointer());
}

void OnMediaPlay(rt::HandlerCall&) { std::thread(OpenAndPlay, ReadText(kGallery, kMediaPathBox, kContent)).detach(); }
void OnMediaPause(rt::HandlerCall&) { Log("OnMediaPause", Number(Media(lib::multimedia::CMD_PAUSE))); }
void OnMediaStop(rt::HandlerCall&) { Log("OnMediaStop", Number(Media(lib::multimedia::CMD_STOP))); }

namespace {

const rt::ProgramDescriptor kProgram = {
    .buildKind = 3,
    .handlers = kHandlers,
    .handlerCount = kHandlerCount,
    .formData = kFormData,
    .formDataSize = kFormDataSize,
    .libraryCount = uint32_t(std::size(lib::kProgramLibraries)),
    .libraries = lib::kProgramLibraries,
};

int Entry(const rt::RuntimeServices& runtime) {
  runtime.CallRuntimeHelper(rt::HELPER_INIT_RUNTIME);
  runtime.LoadStartWindow(kGallery);
  runtime.RunMessageLoop();
  return 0;
}

}  // namespace
}  // namespace gallery

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (argc < 2) return 2;
  gallery::logPath = argv[1];
  LocalFree(argv);
  return rt::RunApplication(gallery::kProgram, win::kWindowFramework, gallery::Entry);
}
