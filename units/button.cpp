#include "units/button.h"

#include "windows/blob.h"
#include "windows/window_unit.h"

namespace units {

namespace {

void ReadButtonFields(win::BlobReader& in, uint32_t, ButtonProperties& p) {
  p.buttonType = int32_t(in.word());
  p.horizontalAlignment = int32_t(in.word());
  p.verticalAlignment = int32_t(in.word());
  p.picture = in.countedBytes();
  p.font = in.countedBytes();
  p.caption = in.countedText();
}

}  // namespace

std::optional<ButtonProperties> ReadButtonBlob(std::span<const uint8_t> blob) {
  return win::ReadVersionedBlob(blob, kButtonVersion, ReadButtonFields);
}

std::vector<uint8_t> WriteButtonBlob(const ButtonProperties& p) {
  win::BlobWriter out;
  out.word(kButtonVersion).word(uint32_t(p.buttonType));
  out.word(uint32_t(p.horizontalAlignment)).word(uint32_t(p.verticalAlignment));
  out.countedBytes(p.picture).countedBytes(p.font).countedText(p.caption);
  return out.take();
}

namespace {

void ReadCheckBoxFields(win::BlobReader& in, uint32_t version, CheckBoxProperties& p) {
  p.pushLike = int32_t(in.word());
  p.flat = int32_t(in.word());
  p.textOnLeft = int32_t(in.word());
  p.horizontalAlignment = int32_t(in.word());
  p.verticalAlignment = int32_t(in.word());
  p.textColor = in.word();
  p.backColor = in.word();
  p.checked = int32_t(in.word());
  p.picture = in.countedBytes();
  p.font = in.countedBytes();
  p.caption = in.countedText();
  if (version >= 2) {
    p.textOptionA = in.countedText();
    p.textOptionB = in.countedText();
  }
}

}  // namespace

std::optional<CheckBoxProperties> ReadCheckBoxBlob(std::span<const uint8_t> blob) {
  return win::ReadVersionedBlob(blob, kCheckBoxVersion, ReadCheckBoxFields);
}

std::vector<uint8_t> WriteCheckBoxBlob(const CheckBoxProperties& p) {
  win::BlobWriter out;
  out.word(kCheckBoxVersion).word(uint32_t(p.pushLike)).word(uint32_t(p.flat)).word(uint32_t(p.textOnLeft));
  out.word(uint32_t(p.horizontalAlignment)).word(uint32_t(p.verticalAlignment));
  out.word(p.textColor).word(p.backColor).word(uint32_t(p.checked));
  out.countedBytes(p.picture).countedBytes(p.font).countedText(p.caption);
  out.countedText(p.textOptionA).countedText(p.textOptionB);
  return out.take();
}

namespace {

constexpr DWORD kButtonBaseStyle = WS_CHILD | WS_CLIPSIBLINGS | BS_MULTILINE;
constexpr DWORD kHorizontalStyles[] = {BS_LEFT, BS_CENTER, BS_RIGHT};
constexpr DWORD kVerticalStyles[] = {BS_TOP, BS_VCENTER, BS_BOTTOM};

DWORD AlignmentStyle(int32_t horizontal, int32_t vertical) {
  return win::Pick(kHorizontalStyles, horizontal) | win::Pick(kVerticalStyles, vertical);
}

}  // namespace

DWORD ButtonStyle(const ButtonProperties& p) {
  DWORD type = p.buttonType == 1 ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
  return kButtonBaseStyle | type | AlignmentStyle(p.horizontalAlignment, p.verticalAlignment);
}

DWORD CheckBoxStyle(const CheckBoxProperties& p) {
  DWORD style = kButtonBaseStyle | BS_AUTOCHECKBOX | AlignmentStyle(p.horizontalAlignment, p.verticalAlignment);
  if (p.pushLike == 1) style |= BS_PUSHLIKE;
  if (p.flat == 1) style |= BS_FLAT;
  if (p.textOnLeft == 1) style |= BS_LEFTTEXT;
  return style;
}

namespace {

// Makes the "BUTTON" control of a unit and gives it its font.
bool OpenButton(win::UnitObject& unit, DWORD style, const std::string& caption, const win::UnitFont& font,
                const win::CreateArgs& args) {
  if (!win::OpenUnitWindow(unit, {L"BUTTON", style, 0, caption}, args)) return false;
  SendMessageW(unit.handle(), WM_SETFONT, WPARAM(font.get()), TRUE);
  return true;
}

class Button final : public win::UnitObject {
 public:
  using Properties = ButtonProperties;
  static std::optional<Properties> Read(std::span<const uint8_t> blob) { return ReadButtonBlob(blob); }
  static std::vector<uint8_t> Write(const Properties& properties) { return WriteButtonBlob(properties); }

  Button(const win::CreateArgs& args, ButtonProperties properties)
      : UnitObject(args.windowId, args.unitId), properties_(std::move(properties)), font_(properties_.font) {}

  bool Open(const win::CreateArgs& args) {
    return OpenButton(*this, ButtonStyle(properties_), properties_.caption, font_, args);
  }
  std::vector<uint8_t> Serialize() const { return WriteButtonBlob(properties_); }
  bool IsDefaultButton() const { return (GetWindowLongPtrW(handle(), GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON; }

 private:
  ButtonProperties properties_;
  win::UnitFont font_;
};

class CheckBox final : public win::UnitObject {
 public:
  using Properties = CheckBoxProperties;
  static std::optional<Properties> Read(std::span<const uint8_t> blob) { return ReadCheckBoxBlob(blob); }
  static std::vector<uint8_t> Write(const Properties& properties) { return WriteCheckBoxBlob(properties); }

  CheckBox(const win::CreateArgs& args, CheckBoxProperties properties)
      : UnitObject(args.windowId, args.unitId), properties_(std::move(properties)), font_(properties_.font) {}

  bool Open(const win::CreateArgs& args);
  std::vector<uint8_t> Serialize();

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  LRESULT OnControlColors(HDC dc) {
    return win::ControlColors(dc, properties_.textColor, properties_.backColor, brush_.get());
  }

  CheckBoxProperties properties_;
  win::UnitFont font_;
  win::GdiPtr<HBRUSH> brush_;
};

bool CheckBox::Open(const win::CreateArgs& args) {
  brush_ = win::SolidBrush(properties_.backColor);
  if (!OpenButton(*this, CheckBoxStyle(properties_), properties_.caption, font_, args)) return false;
  SendMessageW(handle(), BM_SETCHECK, properties_.checked == 1 ? BST_CHECKED : BST_UNCHECKED, 0);
  return true;
}

// The user may have clicked: the state is the control's.
std::vector<uint8_t> CheckBox::Serialize() {
  properties_.checked = SendMessageW(handle(), BM_GETCHECK, 0, 0) == BST_CHECKED;
  return WriteCheckBoxBlob(properties_);
}

LRESULT CheckBox::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case win::kReflectedMessageBase + WM_CTLCOLORSTATIC: return OnControlColors(HDC(wParam));
    case win::kReflectedMessageBase + WM_CTLCOLORBTN: return OnControlColors(HDC(wParam));
  }
  return CallOriginal(message, wParam, lParam);
}

}  // namespace

void* ButtonInterface(int number) { return win::UnitInterface<Button>(number); }
void* CheckBoxInterface(int number) { return win::UnitInterface<CheckBox>(number); }

}  // namespace units
