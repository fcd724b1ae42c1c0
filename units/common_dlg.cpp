#include "units/common_dlg.h"

#include <windows.h>

#include "units/unit_support.h"
#include "windows/blob.h"

namespace units {

const win::PropertyDescriptor kCommonDlgProperties[kCommonDlgPropertyCount] = {
    Common(win::PROP_INT), Common(win::PROP_INT), Common(win::PROP_INT), Common(win::PROP_INT),
    Common(win::PROP_TEXT), Common(win::PROP_BOOL), Common(win::PROP_BOOL), Common(win::PROP_MOUSE_POINTER),
    Own(win::PROP_PICK),     // 8 dialog kind
    Own(win::PROP_TEXT),     // 9 title
    Own(win::PROP_TEXT),     // 10 file name
    Own(win::PROP_TEXT),     // 11 filter
    Own(win::PROP_INT_ALT),  // 12 filter index
    Own(win::PROP_TEXT),     // 13 initial directory
    Own(win::PROP_TEXT),     // 14 default extension
    Own(win::PROP_BOOL),     // 15 create prompt
    Own(win::PROP_BOOL),     // 16 file must exist
    Own(win::PROP_BOOL),     // 17 overwrite prompt
    Own(win::PROP_BOOL),     // 18 path must exist
    Own(win::PROP_BOOL),     // 19 keep directory
    Own(win::PROP_COLOR),    // 20 font colour
    Own(win::PROP_BOOL),     // 21 bold
    Own(win::PROP_BOOL),     // 22 italic
    Own(win::PROP_BOOL),     // 23 strikeout
    Own(win::PROP_BOOL),     // 24 underline
    Own(win::PROP_TEXT),     // 25 font name
    Own(win::PROP_INT),      // 26 font size
    Own(win::PROP_TEXT),     // 27 help file
    Own(win::PROP_PICK),     // 28 help command
    Own(win::PROP_INT),      // 29 help topic
};

std::optional<CommonDlgProperties> ReadCommonDlgBlob(std::span<const uint8_t> blob) {
  CommonDlgProperties p;
  if (blob.empty()) return p;
  win::BlobReader in(blob);
  uint32_t version = in.word();
  if (!in.ok() || version > kCommonDlgVersion) return std::nullopt;
  p.dialogKind = int32_t(in.word());
  p.filterIndex = int32_t(in.word());
  p.createPrompt = int32_t(in.word());
  p.fileMustExist = int32_t(in.word());
  p.overwritePrompt = int32_t(in.word());
  p.pathMustExist = int32_t(in.word());
  p.keepDirectory = int32_t(in.word());
  p.fontColor = in.word();
  p.bold = int32_t(in.word());
  p.italic = int32_t(in.word());
  p.strikeout = int32_t(in.word());
  p.underline = int32_t(in.word());
  p.fontSize = int32_t(in.word());
  p.helpCommand = int32_t(in.word());
  p.helpTopic = int32_t(in.word());
  p.title = in.countedText();
  p.fileName = in.countedText();
  p.filter = in.countedText();
  p.initialDirectory = in.countedText();
  p.defaultExtension = in.countedText();
  p.fontName = in.countedText();
  p.helpFile = in.countedText();
  if (!in.ok()) return std::nullopt;
  return p;
}

std::vector<uint8_t> WriteCommonDlgBlob(const CommonDlgProperties& p) {
  win::BlobWriter out;
  out.word(kCommonDlgVersion).word(uint32_t(p.dialogKind)).word(uint32_t(p.filterIndex));
  out.word(uint32_t(p.createPrompt)).word(uint32_t(p.fileMustExist)).word(uint32_t(p.overwritePrompt));
  out.word(uint32_t(p.pathMustExist)).word(uint32_t(p.keepDirectory)).word(p.fontColor);
  out.word(uint32_t(p.bold)).word(uint32_t(p.italic)).word(uint32_t(p.strikeout)).word(uint32_t(p.underline));
  out.word(uint32_t(p.fontSize)).word(uint32_t(p.helpCommand)).word(uint32_t(p.helpTopic));
  out.countedText(p.title).countedText(p.fileName).countedText(p.filter).countedText(p.initialDirectory);
  out.countedText(p.defaultExtension).countedText(p.fontName).countedText(p.helpFile);
  return out.take();
}

namespace {

constexpr wchar_t kCommonDlgClass[] = L"_QX_CommonDlg";

class CommonDlg final : public win::UnitObject {
 public:
  CommonDlg(const win::CreateArgs& args, CommonDlgProperties properties)
      : UnitObject(args.windowId, args.unitId), properties_(std::move(properties)) {}

  bool Open(const win::CreateArgs& args);
  std::vector<uint8_t> Serialize() const { return WriteCommonDlgBlob(properties_); }

 private:
  CommonDlgProperties properties_;
};

// The design tool shows the hidden window as a framed placeholder.
bool CommonDlg::Open(const win::CreateArgs& args) {
  RegisterUnitClass(kCommonDlgClass, CS_DBLCLKS, SystemCursor(IDC_ARROW));
  DWORD style = args.style | WS_CHILD | WS_CLIPSIBLINGS | (args.designMode ? WS_BORDER : 0);
  HWND window = CreateUnitWindow(0, kCommonDlgClass, {}, style, args);
  if (!window) return false;
  Subclass(window);
  return true;
}

}  // namespace

void* CommonDlgInterface(int number) {
  switch (number) {
    case win::OP_CREATE: return AsInterface<win::CreateOperation>(&CreateUnit<CommonDlg, ReadCommonDlgBlob>);
    case win::OP_GET_ALL_PROPERTIES: return AsInterface<win::GetAllPropertiesOperation>(&SerializeUnit<CommonDlg>);
    default: return nullptr;
  }
}

}  // namespace units
