#include "units/common_dlg.h"
#include "units/common_dlg_run.h"

#include <algorithm>
#include <cstdlib>
#include <cwchar>
#include <utility>

#include "runtime/gbk.h"
#include "runtime/state.h"
#include "windows/blob_layouts.h"
#include "windows/loader.h"
#include "windows/window_unit.h"

namespace units {

std::optional<CommonDlgProperties> ReadCommonDlgBlob(std::span<const uint8_t> blob) {
  return win::ReadVersionedBlob<win::layout::CommonDlg, CommonDlgProperties>(blob);
}

std::vector<uint8_t> WriteCommonDlgBlob(const CommonDlgProperties& p) {
  return win::WriteVersionedBlob<win::layout::CommonDlg>(p);
}

namespace {

struct FlagProperty {
  int32_t CommonDlgProperties::*property;
  DWORD flag;
};
constexpr FlagProperty kFileDialogFlags[] = {
    {&CommonDlgProperties::createPrompt, OFN_CREATEPROMPT},
    {&CommonDlgProperties::fileMustExist, OFN_FILEMUSTEXIST},
    {&CommonDlgProperties::overwritePrompt, OFN_OVERWRITEPROMPT},
    {&CommonDlgProperties::pathMustExist, OFN_PATHMUSTEXIST},
    {&CommonDlgProperties::keepDirectory, OFN_NOCHANGEDIR},
};

}  // namespace

DWORD FileDialogFlags(const CommonDlgProperties& p) {
  DWORD flags = OFN_HIDEREADONLY;
  for (const FlagProperty& f : kFileDialogFlags)
    if (p.*f.property) flags |= f.flag;
  return flags;
}

std::wstring FilterList(std::string_view filter) {
  std::wstring list = rt::WideFromGbk(filter);
  list.erase(list.find_last_not_of(L" \t\r\n\v\f") + 1);
  if (list.empty()) return list;
  if (!list.ends_with(L"||")) list += L"||";
  std::replace(list.begin(), list.end(), L'|', L'\0');
  return list;
}

namespace {

constexpr wchar_t kCommonDlgClass[] = L"_QX_CommonDlg";
// The longest path the open and save dialogs can return, with its zero.
constexpr DWORD kFileNameCapacity = 32768;

const wchar_t* NullIfEmpty(const std::wstring& text) { return text.empty() ? nullptr : text.c_str(); }

// An open or save dialog's record and the texts it points into.
class FileDialog {
 public:
  explicit FileDialog(const CommonDlgProperties& p);
  FileDialog(const FileDialog&) = delete;
  FileDialog& operator=(const FileDialog&) = delete;

  OPENFILENAMEW* record() { return &record_; }
  std::string ChosenPath() const { return rt::GbkFromWide(file_.data()); }

 private:
  std::wstring filter_, title_, directory_, extension_;
  std::vector<wchar_t> file_;
  OPENFILENAMEW record_{};
};

// No owner window, as the dialog has always been shown.
FileDialog::FileDialog(const CommonDlgProperties& p)
    : filter_(FilterList(p.filter)),
      title_(rt::WideFromGbk(p.title)),
      directory_(rt::WideFromGbk(p.initialDirectory)),
      extension_(rt::WideFromGbk(p.defaultExtension)),
      file_(kFileNameCapacity, L'\0') {
  std::wstring initial = rt::WideFromGbk(p.fileName);
  std::copy_n(initial.begin(), std::min<size_t>(initial.size(), kFileNameCapacity - 1), file_.begin());
  record_.lStructSize = sizeof(record_);
  record_.lpstrFilter = NullIfEmpty(filter_);
  record_.nFilterIndex = filter_.empty() ? 0 : DWORD(std::max(p.filterIndex, 0)) + 1;
  record_.lpstrFile = file_.data();
  record_.nMaxFile = kFileNameCapacity;
  record_.lpstrInitialDir = NullIfEmpty(directory_);
  record_.lpstrTitle = NullIfEmpty(title_);
  record_.Flags = FileDialogFlags(p);
  record_.lpstrDefExt = NullIfEmpty(extension_);
}

int ScreenPixelsPerInch() {
  HDC screen = GetDC(nullptr);
  int pixels = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return pixels;
}

// The face name field holds LF_FACESIZE − 1 characters and a zero; a
// longer name is cut there. Every UTF-16 unit made from GBK is a whole
// character, so the cut never splits one.
void SetFaceName(LOGFONTW& font, std::wstring face) {
  face.resize(std::min<size_t>(face.size(), LF_FACESIZE - 1));
  std::wmemcpy(font.lfFaceName, face.c_str(), face.size() + 1);
}

LOGFONTW InitialFont(const CommonDlgProperties& p) {
  LOGFONTW font{};
  font.lfWeight = p.bold ? FW_BOLD : 0;
  font.lfItalic = BYTE(p.italic != 0);
  font.lfUnderline = BYTE(p.underline != 0);
  font.lfStrikeOut = BYTE(p.strikeout != 0);
  SetFaceName(font, rt::WideFromGbk(p.fontName));
  if (p.fontSize != 0) font.lfHeight = -MulDiv(p.fontSize, ScreenPixelsPerInch(), 72);
  return font;
}

void TakeFont(CommonDlgProperties& p, const LOGFONTW& font, COLORREF color) {
  p.fontColor = color;
  p.bold = font.lfWeight >= FW_BOLD;
  p.italic = font.lfItalic != 0;
  p.strikeout = font.lfStrikeOut != 0;
  p.underline = font.lfUnderline != 0;
  p.fontName = rt::GbkFromWide({font.lfFaceName, wcsnlen(font.lfFaceName, LF_FACESIZE)});
  p.fontSize = MulDiv(std::abs(font.lfHeight), 72, ScreenPixelsPerInch());
}

struct HelpCall {
  UINT command;
  ULONG_PTR data;
};

// Help commands 0 to 3; commands 1 and 2 fall back to the contents without
// a topic.
HelpCall HelpCallFor(int32_t command, int32_t topic) {
  ULONG_PTR data = ULONG_PTR(uint32_t(topic));
  switch (command) {
    case 1: return {topic ? UINT(HELP_CONTEXT) : UINT(HELP_FINDER), data};
    case 2: return {topic ? UINT(HELP_CONTEXTPOPUP) : UINT(HELP_FINDER), data};
    case 3: return {HELP_FORCEFILE, 0};
    default: return {HELP_FINDER, 0};
  }
}

// The program's own path with the extension "hlp" in place of its own.
// The whole path, since a file dialog may have changed the current
// directory.
std::wstring DefaultHelpFile() {
  const rt::RuntimeState& state = rt::State();
  std::string name = state.fileName.substr(0, state.fileName.rfind('.'));
  return rt::WideFromGbk(state.directoryWithBackslash + name + ".hlp");
}

constexpr int32_t kHelpOnHelp = 4;
constexpr int32_t kHelpQuit = 5;

class CommonDlg final : public win::UnitObject {
 public:
  using Properties = CommonDlgProperties;
  static std::optional<Properties> Read(std::span<const uint8_t> blob) { return ReadCommonDlgBlob(blob); }
  static std::vector<uint8_t> Write(const Properties& properties) { return WriteCommonDlgBlob(properties); }

  CommonDlg(const win::CreateArgs& args, CommonDlgProperties properties)
      : UnitObject(args.windowId, args.unitId), properties_(std::move(properties)) {}

  bool Open(const win::CreateArgs& args);
  bool SetProperty(int index, const win::PropertyValue& value);
  std::vector<uint8_t> Serialize() const { return WriteCommonDlgBlob(properties_); }
  bool GetProperty(int index, win::PropertyValue* value) const;
  static void VisitTexts(Properties& properties, const win::TextVisit& visit);

  bool Run(const CommonDialogPlatform& platform);

 private:
  bool RunFileDialog(const CommonDialogPlatform& platform);
  bool RunFontDialog(const CommonDialogPlatform& platform);
  bool RunHelp(const CommonDialogPlatform& platform);
  bool RunHelpViewer(win::WindowUnit& window, const CommonDialogPlatform& platform);

  CommonDlgProperties properties_;
};

// The design tool shows the hidden window as a framed placeholder.
bool CommonDlg::Open(const win::CreateArgs& args) {
  win::RegisterUnitClass(kCommonDlgClass, CS_DBLCLKS, win::SystemCursor(IDC_ARROW));
  DWORD style = WS_CLIPSIBLINGS | (args.designMode ? WS_BORDER : 0);
  return win::OpenUnitWindow(*this, {kCommonDlgClass, style}, args);
}

int32_t Logical(const win::PropertyValue& v) { return v.first != 0; }
int32_t NotNegative(const win::PropertyValue& v) { return std::max(int32_t(v.first), 0); }

// Setting only stores: the dialog reads the values when it runs.
bool CommonDlg::SetProperty(int index, const win::PropertyValue& v) {
  CommonDlgProperties& p = properties_;
  switch (index + 8) {
    case CD_DIALOG_KIND: p.dialogKind = win::ClampedWord(v, DIALOG_OPEN_FILE, DIALOG_HELP); break;
    case CD_TITLE: p.title = win::TextOf(v); break;
    case CD_FILE_NAME: p.fileName = win::TextOf(v); break;
    case CD_FILTER: p.filter = win::TextOf(v); break;
    case CD_FILTER_INDEX: p.filterIndex = NotNegative(v); break;
    case CD_INITIAL_DIRECTORY: p.initialDirectory = win::TextOf(v); break;
    case CD_DEFAULT_EXTENSION: p.defaultExtension = win::TextOf(v); break;
    case CD_CREATE_PROMPT: p.createPrompt = Logical(v); break;
    case CD_FILE_MUST_EXIST: p.fileMustExist = Logical(v); break;
    case CD_OVERWRITE_PROMPT: p.overwritePrompt = Logical(v); break;
    case CD_PATH_MUST_EXIST: p.pathMustExist = Logical(v); break;
    case CD_KEEP_DIRECTORY: p.keepDirectory = Logical(v); break;
    case CD_FONT_COLOR: p.fontColor = v.first; break;
    case CD_BOLD: p.bold = Logical(v); break;
    case CD_ITALIC: p.italic = Logical(v); break;
    case CD_STRIKEOUT: p.strikeout = Logical(v); break;
    case CD_UNDERLINE: p.underline = Logical(v); break;
    case CD_FONT_NAME: p.fontName = win::TextOf(v); break;
    case CD_FONT_SIZE: p.fontSize = NotNegative(v); break;
    case CD_HELP_FILE: p.helpFile = win::TextOf(v); break;
    case CD_HELP_COMMAND: p.helpCommand = win::ClampedWord(v, 0, kHelpQuit); break;
    case CD_HELP_TOPIC: p.helpTopic = int32_t(v.first); break;
  }
  return false;
}

win::PropertyValue Word(int32_t value) { return win::WordValue(uint32_t(value)); }

bool CommonDlg::GetProperty(int index, win::PropertyValue* value) const {
  const CommonDlgProperties& p = properties_;
  switch (index + 8) {
    case CD_DIALOG_KIND: *value = Word(p.dialogKind); break;
    case CD_TITLE: *value = win::TextValue(p.title); break;
    case CD_FILE_NAME: *value = win::TextValue(p.fileName); break;
    case CD_FILTER: *value = win::TextValue(p.filter); break;
    case CD_FILTER_INDEX: *value = Word(p.filterIndex); break;
    case CD_INITIAL_DIRECTORY: *value = win::TextValue(p.initialDirectory); break;
    case CD_DEFAULT_EXTENSION: *value = win::TextValue(p.defaultExtension); break;
    case CD_CREATE_PROMPT: *value = Word(p.createPrompt); break;
    case CD_FILE_MUST_EXIST: *value = Word(p.fileMustExist); break;
    case CD_OVERWRITE_PROMPT: *value = Word(p.overwritePrompt); break;
    case CD_PATH_MUST_EXIST: *value = Word(p.pathMustExist); break;
    case CD_KEEP_DIRECTORY: *value = Word(p.keepDirectory); break;
    case CD_FONT_COLOR: *value = win::WordValue(p.fontColor); break;
    case CD_BOLD: *value = Word(p.bold); break;
    case CD_ITALIC: *value = Word(p.italic); break;
    case CD_STRIKEOUT: *value = Word(p.strikeout); break;
    case CD_UNDERLINE: *value = Word(p.underline); break;
    case CD_FONT_NAME: *value = win::TextValue(p.fontName); break;
    case CD_FONT_SIZE: *value = Word(p.fontSize); break;
    case CD_HELP_FILE: *value = win::TextValue(p.helpFile); break;
    case CD_HELP_COMMAND: *value = Word(p.helpCommand); break;
    case CD_HELP_TOPIC: *value = Word(p.helpTopic); break;
    default: return false;
  }
  return true;
}

void CommonDlg::VisitTexts(Properties& p, const win::TextVisit& visit) {
  for (std::string* text : {&p.title, &p.fileName, &p.filter, &p.initialDirectory, &p.defaultExtension,
                            &p.fontName, &p.helpFile})
    visit(*text);
}

bool CommonDlg::Run(const CommonDialogPlatform& platform) {
  switch (properties_.dialogKind) {
    case DIALOG_FONT: return RunFontDialog(platform);
    case DIALOG_HELP: return RunHelp(platform);
    default: return RunFileDialog(platform);
  }
}

// The dialog runs a message loop: the unit's window may end meanwhile, and
// then nothing is taken.
bool CommonDlg::RunFileDialog(const CommonDialogPlatform& platform) {
  FileDialog dialog(properties_);
  auto run = properties_.dialogKind == DIALOG_SAVE_FILE ? platform.getSaveFileName : platform.getOpenFileName;
  if (!run(dialog.record()) || !alive()) return false;
  properties_.fileName = dialog.ChosenPath();
  return true;
}

// The initial font is passed in (CF_INITTOLOGFONTSTRUCT), or the dialog
// would ignore the font properties it is given.
bool CommonDlg::RunFontDialog(const CommonDialogPlatform& platform) {
  LOGFONTW font = InitialFont(properties_);
  CHOOSEFONTW record{};
  record.lStructSize = sizeof(record);
  record.lpLogFont = &font;
  record.Flags = CF_SCREENFONTS | CF_EFFECTS | CF_INITTOLOGFONTSTRUCT;
  record.rgbColors = COLORREF(properties_.fontColor);
  if (!platform.chooseFont(&record) || !alive()) return false;
  TakeFont(properties_, font, record.rgbColors);
  return true;
}

// Help belongs to the unit's window, which the help viewer is closed with.
bool CommonDlg::RunHelp(const CommonDialogPlatform& platform) {
  win::WindowUnit* window = win::WindowUnit::From(win::LiveUnitObject(windowId(), 0));
  if (!window) return false;
  if (properties_.helpCommand == kHelpOnHelp || properties_.helpCommand == kHelpQuit)
    return RunHelpViewer(*window, platform);
  std::wstring file = properties_.helpFile.empty() ? DefaultHelpFile() : rt::WideFromGbk(properties_.helpFile);
  if (GetFileAttributesW(file.c_str()) == INVALID_FILE_ATTRIBUTES) return false;
  window->NoteHelpOpened();
  HelpCall call = HelpCallFor(properties_.helpCommand, properties_.helpTopic);
  platform.winHelp(window->handle(), file.c_str(), call.command, call.data);
  return true;
}

// Help on help, or closing the viewer.
bool CommonDlg::RunHelpViewer(win::WindowUnit& window, const CommonDialogPlatform& platform) {
  bool quit = properties_.helpCommand == kHelpQuit;
  if (quit) window.NoteHelpClosed();
  else window.NoteHelpOpened();
  platform.winHelp(window.handle(), nullptr, quit ? HELP_QUIT : HELP_HELPONHELP, 0);
  return true;
}

}  // namespace

bool RunCommonDialog(win::UnitObject& unit, const CommonDialogPlatform& platform) {
  auto* dialog = dynamic_cast<CommonDlg*>(&unit);
  if (!dialog) return false;
  win::UnitObject::Pin pin(dialog);
  return dialog->Run(platform);
}

void* CommonDlgInterface(int number) { return win::UnitInterface<CommonDlg>(number); }

}  // namespace units
