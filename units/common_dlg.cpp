#include "units/common_dlg.h"

#include <windows.h>

#include "windows/blob.h"

namespace units {

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
  using Properties = CommonDlgProperties;
  static std::optional<Properties> Read(std::span<const uint8_t> blob) { return ReadCommonDlgBlob(blob); }
  static std::vector<uint8_t> Write(const Properties& properties) { return WriteCommonDlgBlob(properties); }

  CommonDlg(const win::CreateArgs& args, CommonDlgProperties properties)
      : UnitObject(args.windowId, args.unitId), properties_(std::move(properties)) {}

  bool Open(const win::CreateArgs& args);
  std::vector<uint8_t> Serialize() const { return WriteCommonDlgBlob(properties_); }

 private:
  CommonDlgProperties properties_;
};

// The design tool shows the hidden window as a framed placeholder.
bool CommonDlg::Open(const win::CreateArgs& args) {
  win::RegisterUnitClass(kCommonDlgClass, CS_DBLCLKS, win::SystemCursor(IDC_ARROW));
  DWORD style = WS_CLIPSIBLINGS | (args.designMode ? WS_BORDER : 0);
  return win::OpenUnitWindow(*this, {kCommonDlgClass, style}, args);
}

}  // namespace

void* CommonDlgInterface(int number) { return win::UnitInterface<CommonDlg>(number); }

}  // namespace units
