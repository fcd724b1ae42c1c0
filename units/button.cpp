#include "units/button.h"

#include <iterator>

#include "runtime/gbk.h"
#include "windows/blob_layouts.h"
#include "windows/window_unit.h"

namespace units {

std::optional<ButtonProperties> ReadButtonBlob(std::span<const uint8_t> blob) {
  return win::ReadVersionedBlob<win::layout::Button, ButtonProperties>(blob);
}

std::vector<uint8_t> WriteButtonBlob(const ButtonProperties& p) {
  return win::WriteVersionedBlob<win::layout::Button>(p);
}

std::optional<CheckBoxProperties> ReadCheckBoxBlob(std::span<const uint8_t> blob) {
  return win::ReadVersionedBlob<win::layout::CheckBox, CheckBoxProperties>(blob);
}

std::vector<uint8_t> WriteCheckBoxBlob(const CheckBoxProperties& p) {
  return win::WriteVersionedBlob<win::layout::CheckBox>(p);
}

namespace {

constexpr DWORD kButtonBaseStyle = WS_CHILD | WS_CLIPSIBLINGS | BS_MULTILINE;
constexpr DWORD kHorizontalStyles[] = {BS_LEFT, BS_CENTER, BS_RIGHT};
constexpr DWORD kVerticalStyles[] = {BS_TOP, BS_VCENTER, BS_BOTTOM};

DWORD AlignmentStyle(int32_t horizontal, int32_t vertical) {
  return win::Pick(kHorizontalStyles, horizontal) | win::Pick(kVerticalStyles, vertical);
}

DWORD ButtonTypeStyle(int32_t buttonType) { return buttonType == 1 ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON; }

// Only the value 1 switches a check box's options and its check mark on.
DWORD SwitchedStyle(int32_t value, DWORD bit) { return value == 1 ? bit : 0; }
WPARAM CheckState(int32_t checked) { return checked == 1 ? BST_CHECKED : BST_UNCHECKED; }

}  // namespace

DWORD ButtonStyle(const ButtonProperties& p) {
  return kButtonBaseStyle | ButtonTypeStyle(p.buttonType) | AlignmentStyle(p.horizontalAlignment, p.verticalAlignment);
}

DWORD CheckBoxStyle(const CheckBoxProperties& p) {
  DWORD style = kButtonBaseStyle | BS_AUTOCHECKBOX | AlignmentStyle(p.horizontalAlignment, p.verticalAlignment);
  return style | SwitchedStyle(p.pushLike, BS_PUSHLIKE) | SwitchedStyle(p.flat, BS_FLAT) |
         SwitchedStyle(p.textOnLeft, BS_LEFTTEXT);
}

namespace {

constexpr int32_t kLastButtonType = 1;

// Replaces the style bits under `mask`; the control redraws itself and its
// frame at once.
void ApplyStyle(HWND control, DWORD mask, DWORD bits) {
  LONG_PTR style = GetWindowLongPtrW(control, GWL_STYLE);
  SetWindowLongPtrW(control, GWL_STYLE, (style & ~LONG_PTR(mask)) | LONG_PTR(bits));
  SetWindowPos(control, nullptr, 0, 0, 0, 0,
               SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  InvalidateRect(control, nullptr, TRUE);
}

// What Button and CheckBox share: the "BUTTON" control with its caption,
// alignment and font, and the events 0 (clicked), -7 and -8.
template <class P>
class ButtonUnit : public win::UnitObject {
 public:
  using Properties = P;

 protected:
  ButtonUnit(const win::CreateArgs& args, P properties)
      : UnitObject(args.windowId, args.unitId), properties_(std::move(properties)), font_(properties_.font) {}

  bool OpenButton(DWORD style, const win::CreateArgs& args);
  void SetCaption(const win::PropertyValue& value);
  // The stored choice is clamped to the table, whose bits together are the
  // alignment's mask.
  void SetAlignment(int32_t& stored, const win::PropertyValue& value, const DWORD (&styles)[3]);
  void SetFont(const win::PropertyValue& value);
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  P properties_;

 private:
  LRESULT OnCommand(WORD code);

  win::UnitFont font_;
};

template <class P>
bool ButtonUnit<P>::OpenButton(DWORD style, const win::CreateArgs& args) {
  if (!win::OpenUnitWindow(*this, {L"BUTTON", style, 0, properties_.caption}, args)) return false;
  SendMessageW(handle(), WM_SETFONT, WPARAM(font_.get()), TRUE);
  return true;
}

template <class P>
void ButtonUnit<P>::SetCaption(const win::PropertyValue& value) {
  properties_.caption = win::TextOf(value);
  SetWindowTextW(handle(), rt::WideFromGbk(properties_.caption).c_str());
}

template <class P>
void ButtonUnit<P>::SetAlignment(int32_t& stored, const win::PropertyValue& value, const DWORD (&styles)[3]) {
  stored = win::ClampedWord(value, 0, int32_t(std::size(styles)) - 1);
  ApplyStyle(handle(), styles[0] | styles[1] | styles[2], styles[stored]);
}

// The control lets go of the old font before it is deleted.
template <class P>
void ButtonUnit<P>::SetFont(const win::PropertyValue& value) {
  properties_.font = win::BytesOf(value);
  win::UnitFont font(properties_.font);
  SendMessageW(handle(), WM_SETFONT, WPARAM(font.get()), TRUE);
  font_ = std::move(font);
}

template <class P>
LRESULT ButtonUnit<P>::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case win::kReflectedMessageBase + WM_COMMAND: return OnCommand(HIWORD(wParam));
    case WM_SETFOCUS: win::RaiseUnitEvent(*this, win::EV_GOT_FOCUS); break;
    case WM_KILLFOCUS: win::RaiseUnitEvent(*this, win::EV_LOST_FOCUS); break;
  }
  return CallOriginal(message, wParam, lParam);
}

// An automatic check box has taken its new state before it reports the
// click, so a handler reads the new state.
template <class P>
LRESULT ButtonUnit<P>::OnCommand(WORD code) {
  if (code == BN_CLICKED) win::RaiseUnitEvent(*this, 0);
  return 0;
}

class Button final : public ButtonUnit<ButtonProperties> {
 public:
  static std::optional<Properties> Read(std::span<const uint8_t> blob) { return ReadButtonBlob(blob); }
  static std::vector<uint8_t> Write(const Properties& properties) { return WriteButtonBlob(properties); }
  static void VisitTexts(Properties& properties, const win::TextVisit& visit);

  Button(const win::CreateArgs& args, ButtonProperties properties) : ButtonUnit(args, std::move(properties)) {}

  bool Open(const win::CreateArgs& args) { return OpenButton(ButtonStyle(properties_), args); }
  bool SetProperty(int index, const win::PropertyValue& value);
  std::vector<uint8_t> Serialize() const { return WriteButtonBlob(properties_); }
  bool GetProperty(int index, win::PropertyValue* value) const;
  bool IsDefaultButton() const { return (GetWindowLongPtrW(handle(), GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON; }

 private:
  void SetButtonType(int32_t buttonType);
};

void Button::VisitTexts(Properties& p, const win::TextVisit& visit) {
  visit(p.caption);
  visit.FontFace(p.font);
}

// A new picture needs a new control (true).
bool Button::SetProperty(int index, const win::PropertyValue& v) {
  ButtonProperties& p = properties_;
  switch (index + 8) {
    case BUTTON_PICTURE: p.picture = win::BytesOf(v); return true;
    case BUTTON_TYPE: SetButtonType(win::ClampedWord(v, 0, kLastButtonType)); break;
    case BUTTON_CAPTION: SetCaption(v); break;
    case BUTTON_HORIZONTAL_ALIGNMENT: SetAlignment(p.horizontalAlignment, v, kHorizontalStyles); break;
    case BUTTON_VERTICAL_ALIGNMENT: SetAlignment(p.verticalAlignment, v, kVerticalStyles); break;
    case BUTTON_FONT: SetFont(v); break;
  }
  return false;
}

bool Button::GetProperty(int index, win::PropertyValue* value) const {
  const ButtonProperties& p = properties_;
  switch (index + 8) {
    case BUTTON_PICTURE: *value = win::BytesValue(p.picture); break;
    case BUTTON_TYPE: *value = win::WordValue(uint32_t(p.buttonType)); break;
    case BUTTON_CAPTION: *value = win::TextValue(p.caption); break;
    case BUTTON_HORIZONTAL_ALIGNMENT: *value = win::WordValue(uint32_t(p.horizontalAlignment)); break;
    case BUTTON_VERTICAL_ALIGNMENT: *value = win::WordValue(uint32_t(p.verticalAlignment)); break;
    case BUTTON_FONT: *value = win::BytesValue(p.font); break;
    default: return false;
  }
  return true;
}

// BM_SETSTYLE changes the type bits only, and redraws.
void Button::SetButtonType(int32_t buttonType) {
  properties_.buttonType = buttonType;
  DWORD style = DWORD(GetWindowLongPtrW(handle(), GWL_STYLE));
  SendMessageW(handle(), BM_SETSTYLE, (style & ~DWORD(BS_TYPEMASK)) | ButtonTypeStyle(buttonType), TRUE);
}

class CheckBox final : public ButtonUnit<CheckBoxProperties> {
 public:
  static std::optional<Properties> Read(std::span<const uint8_t> blob) { return ReadCheckBoxBlob(blob); }
  static std::vector<uint8_t> Write(const Properties& properties) { return WriteCheckBoxBlob(properties); }
  static void VisitTexts(Properties& properties, const win::TextVisit& visit);

  CheckBox(const win::CreateArgs& args, CheckBoxProperties properties) : ButtonUnit(args, std::move(properties)) {}

  bool Open(const win::CreateArgs& args);
  bool SetProperty(int index, const win::PropertyValue& value);
  std::vector<uint8_t> Serialize();
  bool GetProperty(int index, win::PropertyValue* value);

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void SetSwitch(int32_t& stored, const win::PropertyValue& value, DWORD bit);
  void SetBackColor(uint32_t color);
  void SetChecked(int32_t checked);
  int32_t LiveChecked();
  void Repaint() { InvalidateRect(handle(), nullptr, TRUE); }
  LRESULT OnControlColors(HDC dc) {
    return win::ControlColors(dc, properties_.textColor, properties_.backColor, brush_.get());
  }

  win::GdiPtr<HBRUSH> brush_;
};

void CheckBox::VisitTexts(Properties& p, const win::TextVisit& visit) {
  visit(p.caption);
  visit(p.textOptionA);
  visit(p.textOptionB);
  visit.FontFace(p.font);
}

bool CheckBox::Open(const win::CreateArgs& args) {
  brush_ = win::SolidBrush(properties_.backColor);
  if (!OpenButton(CheckBoxStyle(properties_), args)) return false;
  SendMessageW(handle(), BM_SETCHECK, CheckState(properties_.checked), 0);
  return true;
}

// A new picture needs a new control (true).
bool CheckBox::SetProperty(int index, const win::PropertyValue& v) {
  CheckBoxProperties& p = properties_;
  switch (index + 8) {
    case CHECKBOX_PICTURE: p.picture = win::BytesOf(v); return true;
    case CHECKBOX_PUSH_LIKE: SetSwitch(p.pushLike, v, BS_PUSHLIKE); break;
    case CHECKBOX_FLAT: SetSwitch(p.flat, v, BS_FLAT); break;
    case CHECKBOX_CAPTION: SetCaption(v); break;
    case CHECKBOX_TEXT_ON_LEFT: SetSwitch(p.textOnLeft, v, BS_LEFTTEXT); break;
    case CHECKBOX_HORIZONTAL_ALIGNMENT: SetAlignment(p.horizontalAlignment, v, kHorizontalStyles); break;
    case CHECKBOX_VERTICAL_ALIGNMENT: SetAlignment(p.verticalAlignment, v, kVerticalStyles); break;
    case CHECKBOX_TEXT_COLOR: p.textColor = v.first; Repaint(); break;
    case CHECKBOX_BACK_COLOR: SetBackColor(v.first); break;
    case CHECKBOX_FONT: SetFont(v); break;
    case CHECKBOX_CHECKED: SetChecked(int32_t(v.first)); break;
    case CHECKBOX_TEXT_OPTION_A: p.textOptionA = win::TextOf(v); break;
    case CHECKBOX_TEXT_OPTION_B: p.textOptionB = win::TextOf(v); break;
  }
  return false;
}

// The user may have clicked: the state is the control's.
std::vector<uint8_t> CheckBox::Serialize() {
  LiveChecked();
  return WriteCheckBoxBlob(properties_);
}

bool CheckBox::GetProperty(int index, win::PropertyValue* value) {
  const CheckBoxProperties& p = properties_;
  switch (index + 8) {
    case CHECKBOX_PICTURE: *value = win::BytesValue(p.picture); break;
    case CHECKBOX_PUSH_LIKE: *value = win::WordValue(uint32_t(p.pushLike)); break;
    case CHECKBOX_FLAT: *value = win::WordValue(uint32_t(p.flat)); break;
    case CHECKBOX_CAPTION: *value = win::TextValue(p.caption); break;
    case CHECKBOX_TEXT_ON_LEFT: *value = win::WordValue(uint32_t(p.textOnLeft)); break;
    case CHECKBOX_HORIZONTAL_ALIGNMENT: *value = win::WordValue(uint32_t(p.horizontalAlignment)); break;
    case CHECKBOX_VERTICAL_ALIGNMENT: *value = win::WordValue(uint32_t(p.verticalAlignment)); break;
    case CHECKBOX_TEXT_COLOR: *value = win::WordValue(p.textColor); break;
    case CHECKBOX_BACK_COLOR: *value = win::WordValue(p.backColor); break;
    case CHECKBOX_FONT: *value = win::BytesValue(p.font); break;
    case CHECKBOX_CHECKED: *value = win::WordValue(uint32_t(LiveChecked())); break;
    case CHECKBOX_TEXT_OPTION_A: *value = win::TextValue(p.textOptionA); break;
    case CHECKBOX_TEXT_OPTION_B: *value = win::TextValue(p.textOptionB); break;
    default: return false;
  }
  return true;
}

void CheckBox::SetSwitch(int32_t& stored, const win::PropertyValue& value, DWORD bit) {
  stored = int32_t(value.first);
  ApplyStyle(handle(), bit, SwitchedStyle(stored, bit));
}

void CheckBox::SetBackColor(uint32_t color) {
  properties_.backColor = color;
  brush_ = win::SolidBrush(color);
  Repaint();
}

void CheckBox::SetChecked(int32_t checked) {
  properties_.checked = checked;
  SendMessageW(handle(), BM_SETCHECK, CheckState(checked), 0);
}

int32_t CheckBox::LiveChecked() {
  properties_.checked = SendMessageW(handle(), BM_GETCHECK, 0, 0) == BST_CHECKED;
  return properties_.checked;
}

LRESULT CheckBox::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case win::kReflectedMessageBase + WM_CTLCOLORSTATIC: return OnControlColors(HDC(wParam));
    case win::kReflectedMessageBase + WM_CTLCOLORBTN: return OnControlColors(HDC(wParam));
  }
  return ButtonUnit::WindowProc(message, wParam, lParam);
}

}  // namespace

void* ButtonInterface(int number) { return win::UnitInterface<Button>(number); }
void* CheckBoxInterface(int number) { return win::UnitInterface<CheckBox>(number); }

}  // namespace units
