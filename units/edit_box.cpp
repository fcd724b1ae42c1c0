#include "units/edit_box.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <memory>
#include <string>

#include "runtime/gbk.h"
#include "windows/blob_layouts.h"
#include "windows/window_unit.h"

namespace units {

std::optional<EditBoxProperties> ReadEditBoxBlob(std::span<const uint8_t> blob) {
  return win::ReadVersionedBlob<win::layout::EditBox, EditBoxProperties>(blob);
}

std::vector<uint8_t> WriteEditBoxBlob(const EditBoxProperties& p) {
  return win::WriteVersionedBlob<win::layout::EditBox>(p);
}

namespace {

constexpr DWORD kScrollBarStyles[] = {0, ES_AUTOHSCROLL | WS_HSCROLL, WS_VSCROLL,
                                      ES_AUTOHSCROLL | WS_HSCROLL | WS_VSCROLL};
constexpr DWORD kAlignmentStyles[] = {ES_LEFT, ES_CENTER, ES_RIGHT};
constexpr DWORD kInputModeStyles[] = {0, ES_READONLY, ES_PASSWORD};
constexpr DWORD kLetterCaseStyles[] = {0, ES_LOWERCASE, ES_UPPERCASE};

}  // namespace

DWORD EditBoxStyle(const EditBoxProperties& p) {
  DWORD style = WS_CHILD | WS_CLIPSIBLINGS;
  if (!p.hideSelection) style |= ES_NOHIDESEL;
  if (p.multiLine) {
    style |= ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | win::Pick(kScrollBarStyles, p.scrollBars);
  } else {
    style |= ES_AUTOHSCROLL;
  }
  return style | win::Pick(kAlignmentStyles, p.alignment) | win::Pick(kInputModeStyles, p.inputMode) |
         win::Pick(kLetterCaseStyles, p.letterCase);
}

namespace {

// Characters of a GBK text that end at or before a byte offset. Code page
// 936 maps every character to one UTF-16 unit.
int32_t CharactersBefore(const std::string& text, int64_t offset) {
  int32_t count = 0;
  for (size_t at = 0; at < text.size(); ++count) {
    size_t width = rt::IsGbkLeadByte(uint8_t(text[at])) && at + 1 < text.size() ? 2 : 1;
    if (int64_t(at + width) > offset) break;
    at += width;
  }
  return count;
}

}  // namespace

EditSelection SelectionInText(const std::string& text, int32_t start, int32_t length) {
  int64_t size = int64_t(text.size());
  int64_t from = std::max(start, 0);
  int64_t count = std::max(length, 0);
  if (start == -1) from = size, count = 0;
  else if (length == -1) from = 0, count = size;
  return {CharactersBefore(text, from), CharactersBefore(text, std::min(from + count, size))};
}

namespace {

constexpr int kSpinWidth = 18;
constexpr int kSpinIdOffset = 4;
constexpr UINT_PTR kSpinSubclassId = 1;

struct WindowDeleter {
  void operator()(HWND window) const {
    if (IsWindow(window)) DestroyWindow(window);
  }
};
using WindowPtr = std::unique_ptr<std::remove_pointer_t<HWND>, WindowDeleter>;

// The first character of a GBK text as the blob stores it, first byte low;
// 0 for an empty text.
uint16_t FirstCharacter(std::string_view text) {
  if (text.empty()) return 0;
  auto lead = uint8_t(text[0]);
  return rt::IsGbkLeadByte(lead) && text.size() > 1 ? uint16_t(lead | uint8_t(text[1]) << 8) : lead;
}

std::string CharacterText(uint16_t stored) {
  std::string text;
  if (stored & 0xFF) text += char(stored & 0xFF);
  if (rt::IsGbkLeadByte(uint8_t(stored)) && stored >> 8) text += char(stored >> 8);
  return text;
}

// The character the control shows in place of each typed one.
wchar_t PasswordCharOf(uint16_t stored) {
  std::wstring wide = rt::WideFromGbk(CharacterText(stored));
  return !wide.empty() && wide[0] ? wide[0] : L'*';
}

int TextHeight(HFONT font, const wchar_t* text) {
  HDC screen = GetDC(nullptr);
  HGDIOBJ previous = SelectObject(screen, font);
  SIZE size{};
  GetTextExtentPoint32W(screen, text, int(wcslen(text)), &size);
  SelectObject(screen, previous);
  ReleaseDC(nullptr, screen);
  return size.cy;
}

void RecomputeFrame(HWND window) {
  SetWindowPos(window, nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// A spin control next to a box with no, a sunken or a thin border has a thin
// edge of its own.
DWORD SpinEdge(int32_t borderStyle) {
  return borderStyle == 0 || borderStyle == 1 || borderStyle == 3 ? WS_EX_STATICEDGE : 0;
}

// Stores a value whose change needs a new control; true when it changed.
bool Restyle(int32_t& field, int32_t value) {
  bool changed = field != value;
  field = value;
  return changed;
}

// The control's text split at its selection (UTF-16 units, as it counts).
struct SelectionParts {
  std::wstring before;
  std::wstring selected;
};

SelectionParts SplitAtSelection(HWND box) {
  std::wstring text = win::WindowText(box);
  DWORD start = 0, end = 0;
  SendMessageW(box, EM_GETSEL, WPARAM(&start), LPARAM(&end));
  size_t from = std::min<size_t>(start, text.size());
  size_t to = std::clamp<size_t>(end, from, text.size());
  return {text.substr(0, from), text.substr(from, to - from)};
}

// A selection in GBK bytes, as the runtime counts it.
struct ByteSelection {
  int32_t start;
  int32_t length;
};

ByteSelection LiveSelection(HWND box) {
  SelectionParts parts = SplitAtSelection(box);
  return {int32_t(rt::GbkFromWide(parts.before).size()), int32_t(rt::GbkFromWide(parts.selected).size())};
}

class EditBox final : public win::UnitObject {
 public:
  using Properties = EditBoxProperties;
  static std::optional<Properties> Read(std::span<const uint8_t> blob) { return ReadEditBoxBlob(blob); }
  static std::vector<uint8_t> Write(const Properties& properties) { return WriteEditBoxBlob(properties); }
  static void VisitTexts(Properties& properties, const win::TextVisit& visit);

  EditBox(const win::CreateArgs& args, EditBoxProperties properties)
      : UnitObject(args.windowId, args.unitId), properties_(std::move(properties)), designMode_(args.designMode) {}

  bool Open(const win::CreateArgs& args);
  bool SetProperty(int index, const win::PropertyValue& value);
  std::vector<uint8_t> Serialize();
  bool GetProperty(int index, win::PropertyValue* value);
  bool WantsKey(int virtualKey) const;

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  void OnFinalDestroy() override { spin_.reset(); }

 private:
  static LRESULT CALLBACK SpinProc(HWND spin, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR box);

  void ApplyFont();
  void GrowToLine();
  void ApplyMaxLength();
  void ApplyInputMode();
  void SetBackColor(uint32_t color);
  void SetBorderStyle(int32_t borderStyle);
  void CreateSpin(const win::CreateArgs& args);
  void SetSpinRange();
  void PlaceSpin();
  void ShowSpin(bool shown);

  std::string LiveText() const { return win::WindowTextGbk(handle()); }
  const std::string& Content();
  void WriteContent(std::string text);
  void Select(int32_t start, int32_t length);
  void ReplaceSelection(const std::string& text);
  win::PropertyValue Served(std::string text);

  void OnNotification(WORD code);
  void OnKillFocus();
  void NormaliseInput();
  LRESULT OnSpinNotify(const NMHDR& header);
  void Step(int direction);
  void StepNumber(int direction);

  void CentreLine(RECT& client) const;
  LRESULT OnNcCalcSize(WPARAM wParam, LPARAM lParam);
  LRESULT OnNcPaint(WPARAM wParam, LPARAM lParam);
  LRESULT OnNcHitTest(WPARAM wParam, LPARAM lParam);
  void FillBand();
  LRESULT OnControlColors(HDC dc) {
    return win::ControlColors(dc, properties_.textColor, properties_.backColor, brush_.get());
  }

  EditBoxProperties properties_;
  bool designMode_;
  bool settingContent_ = false;  // the control's own EN_CHANGE is not the event
  int lineHeight_ = 0;           // of "W" in the font: a single line's client height
  win::GdiPtr<HBRUSH> brush_;
  win::UnitFont font_;
  WindowPtr spin_;
  std::string served_;  // the last computed text operation 6 handed out
};

bool EditBox::Open(const win::CreateArgs& args) {
  brush_ = win::SolidBrush(properties_.backColor);
  if (!win::OpenUnitWindow(*this, {L"EDIT", EditBoxStyle(properties_), 0, properties_.content}, args)) return false;
  ApplyFont();
  ApplyMaxLength();
  ApplyInputMode();
  if (!properties_.multiLine && (properties_.adjustType == kSpinSteps || properties_.adjustType == kSpinRaisesEvent))
    CreateSpin(args);
  Select(properties_.selectionStart, properties_.selectionLength);
  win::ApplyBorderStyle(handle(), properties_.borderStyle);
  return true;
}

void EditBox::VisitTexts(Properties& properties, const win::TextVisit& visit) {
  visit(properties.content);
  visit(properties.textOptionA);
  visit(properties.textOptionB);
  visit.FontFace(properties.font);
}

// The control keeps drawing with the old font until it has the new one. A
// single-line box's client area is then cut to one line of the new font.
void EditBox::ApplyFont() {
  win::UnitFont previous = std::move(font_);
  font_ = win::UnitFont(properties_.font);
  lineHeight_ = TextHeight(font_.get(), L"W");
  if (!properties_.multiLine) GrowToLine();
  SendMessageW(handle(), WM_SETFONT, WPARAM(font_.get()), TRUE);
  RecomputeFrame(handle());
}

// A single-line box is made at least as tall as one line of its font.
void EditBox::GrowToLine() {
  int needed = TextHeight(font_.get(), L"吴") + 2 * GetSystemMetrics(SM_CYEDGE);
  RECT box;
  GetWindowRect(handle(), &box);
  if (box.bottom - box.top < needed)
    SetWindowPos(handle(), nullptr, 0, 0, box.right - box.left, needed, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void EditBox::ApplyMaxLength() { SendMessageW(handle(), EM_LIMITTEXT, WPARAM(properties_.maxLength), 0); }

// Password and read-only are the two modes the control itself knows.
void EditBox::ApplyInputMode() {
  bool password = properties_.inputMode == kInputPassword;
  SendMessageW(handle(), EM_SETPASSWORDCHAR, password ? PasswordCharOf(properties_.passwordChar) : 0, 0);
  SendMessageW(handle(), EM_SETREADONLY, properties_.inputMode == kInputReadOnly, 0);
  InvalidateRect(handle(), nullptr, TRUE);
}

void EditBox::SetBackColor(uint32_t color) {
  properties_.backColor = color;
  brush_ = win::SolidBrush(color);
  RedrawWindow(handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE);
}

void EditBox::SetBorderStyle(int32_t borderStyle) {
  properties_.borderStyle = borderStyle;
  win::ApplyBorderStyle(handle(), borderStyle);
  if (!spin_) return;
  LONG_PTR exStyle = GetWindowLongPtrW(spin_.get(), GWL_EXSTYLE) & ~LONG_PTR(WS_EX_STATICEDGE);
  SetWindowLongPtrW(spin_.get(), GWL_EXSTYLE, exStyle | LONG_PTR(SpinEdge(borderStyle)));
  RecomputeFrame(spin_.get());
}

// The spin control belongs to the box: the window finds the box as its unit
// and passes the control's notifications to it.
void EditBox::CreateSpin(const win::CreateArgs& args) {
  INITCOMMONCONTROLSEX classes{sizeof(classes), ICC_UPDOWN_CLASS};
  InitCommonControlsEx(&classes);
  HMENU id = reinterpret_cast<HMENU>(static_cast<intptr_t>(args.controlId + kSpinIdOffset));
  spin_.reset(win::CreateWindowHandle(SpinEdge(properties_.borderStyle), UPDOWN_CLASSW, nullptr,
                                      WS_CHILD | WS_CLIPSIBLINGS, 0, 0, 0, 0, args.parent, id));
  if (!spin_) {
    properties_.adjustType = kNoSpin;
    return;
  }
  SetWindowSubclass(spin_.get(), &EditBox::SpinProc, kSpinSubclassId, reinterpret_cast<DWORD_PTR>(this));
  SetSpinRange();
  if (args.style & WS_DISABLED) EnableWindow(spin_.get(), FALSE);
  PlaceSpin();
}

void EditBox::SetSpinRange() {
  if (!spin_) return;
  SendMessageW(spin_.get(), UDM_SETRANGE32, WPARAM(std::min(properties_.adjustMin, properties_.adjustMax)),
               LPARAM(std::max(properties_.adjustMin, properties_.adjustMax)));
}

// The spin control sits at the box's right edge, as tall as the box, and
// directly above it in the stacking order.
void EditBox::PlaceSpin() {
  if (!spin_) return;
  RECT box;
  GetWindowRect(handle(), &box);
  MapWindowPoints(nullptr, GetParent(handle()), reinterpret_cast<POINT*>(&box), 2);
  HWND above = GetWindow(handle(), GW_HWNDPREV);
  UINT flags = SWP_NOACTIVATE | (above == spin_.get() ? SWP_NOZORDER : 0);
  SetWindowPos(spin_.get(), above ? above : HWND_TOP, box.right, box.top, kSpinWidth, box.bottom - box.top, flags);
}

// Showing a child of a hidden window only sets its style, with no position
// change to follow: the spin control is shown and hidden here instead.
void EditBox::ShowSpin(bool shown) {
  if (spin_) ShowWindow(spin_.get(), shown ? SW_SHOWNA : SW_HIDE);
}

// Outside design mode the user may have typed: the content is the window's.
const std::string& EditBox::Content() {
  if (!designMode_) properties_.content = LiveText();
  return properties_.content;
}

// Replaces the whole text. Event 0 follows exactly once: the control's own
// EN_CHANGE (which a multi-line box does not send here) is not passed on.
void EditBox::WriteContent(std::string text) {
  properties_.content = std::move(text);
  settingContent_ = true;
  SetWindowTextW(handle(), rt::WideFromGbk(properties_.content).c_str());
  settingContent_ = false;
  win::RaiseUnitEvent(*this, EE_CHANGED);
}

// Start and length in GBK bytes, with the -1 rules of SelectionInText.
void EditBox::Select(int32_t start, int32_t length) {
  properties_.selectionStart = start;
  properties_.selectionLength = length;
  EditSelection range = SelectionInText(LiveText(), start, length);
  SendMessageW(handle(), EM_SETSEL, WPARAM(range.start), LPARAM(range.end));
  SendMessageW(handle(), EM_SCROLLCARET, 0, 0);
}

void EditBox::ReplaceSelection(const std::string& text) {
  SendMessageW(handle(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(rt::WideFromGbk(text).c_str()));
}

win::PropertyValue EditBox::Served(std::string text) {
  served_ = std::move(text);
  return win::TextValue(served_);
}

bool EditBox::SetProperty(int index, const win::PropertyValue& v) {
  EditBoxProperties& p = properties_;
  switch (index + 8) {
    case EP_CONTENT: WriteContent(win::TextOf(v)); break;
    case EP_BORDER_STYLE: SetBorderStyle(win::ClampedWord(v, 0, 5)); break;
    case EP_TEXT_COLOR: p.textColor = v.first; InvalidateRect(handle(), nullptr, TRUE); break;
    case EP_BACK_COLOR: SetBackColor(v.first); break;
    case EP_FONT: p.font = win::BytesOf(v); ApplyFont(); break;
    case EP_HIDE_SELECTION: return Restyle(p.hideSelection, v.first != 0);
    case EP_MAX_LENGTH: p.maxLength = std::max(int32_t(v.first), 0); ApplyMaxLength(); break;
    case EP_MULTI_LINE: return Restyle(p.multiLine, v.first != 0);
    case EP_SCROLL_BARS: return Restyle(p.scrollBars, win::ClampedWord(v, 0, 3));
    case EP_ALIGNMENT: return Restyle(p.alignment, win::ClampedWord(v, 0, 2));
    case EP_INPUT_MODE: p.inputMode = win::ClampedWord(v, 0, kLastInputMode); ApplyInputMode(); break;
    case EP_PASSWORD_CHAR: p.passwordChar = FirstCharacter(win::TextOf(v)); ApplyInputMode(); break;
    case EP_LETTER_CASE: return Restyle(p.letterCase, win::ClampedWord(v, 0, 2));
    case EP_ADJUST_TYPE: return Restyle(p.adjustType, win::ClampedWord(v, kNoSpin, kSpinRaisesEvent));
    case EP_ADJUST_MIN: p.adjustMin = int32_t(v.first); SetSpinRange(); break;
    case EP_ADJUST_MAX: p.adjustMax = int32_t(v.first); SetSpinRange(); break;
    case EP_SELECTION_START: Select(int32_t(v.first), LiveSelection(handle()).length); break;
    case EP_SELECTION_LENGTH: Select(LiveSelection(handle()).start, int32_t(v.first)); break;
    case EP_SELECTED_TEXT: ReplaceSelection(win::TextOf(v)); break;
    case EP_TEXT_OPTION_A: p.textOptionA = win::TextOf(v); break;
    case EP_TEXT_OPTION_B: p.textOptionB = win::TextOf(v); break;
  }
  return false;
}

// Text and selection as the live control has them, for a re-created box.
std::vector<uint8_t> EditBox::Serialize() {
  properties_.content = LiveText();
  ByteSelection selection = LiveSelection(handle());
  properties_.selectionStart = selection.start;
  properties_.selectionLength = selection.length;
  return WriteEditBoxBlob(properties_);
}

bool EditBox::GetProperty(int index, win::PropertyValue* value) {
  const EditBoxProperties& p = properties_;
  switch (index + 8) {
    case EP_CONTENT: *value = win::TextValue(Content()); break;
    case EP_BORDER_STYLE: *value = win::WordValue(p.borderStyle); break;
    case EP_TEXT_COLOR: *value = win::WordValue(p.textColor); break;
    case EP_BACK_COLOR: *value = win::WordValue(p.backColor); break;
    case EP_FONT: *value = p.font.size() == win::kLogFontSize ? win::BytesValue(p.font) : win::PropertyValue{}; break;
    case EP_HIDE_SELECTION: *value = win::WordValue(p.hideSelection); break;
    case EP_MAX_LENGTH: *value = win::WordValue(p.maxLength); break;
    case EP_MULTI_LINE: *value = win::WordValue(p.multiLine); break;
    case EP_SCROLL_BARS: *value = win::WordValue(p.scrollBars); break;
    case EP_ALIGNMENT: *value = win::WordValue(p.alignment); break;
    case EP_INPUT_MODE: *value = win::WordValue(p.inputMode); break;
    case EP_PASSWORD_CHAR: *value = Served(CharacterText(p.passwordChar)); break;
    case EP_LETTER_CASE: *value = win::WordValue(p.letterCase); break;
    case EP_ADJUST_TYPE: *value = win::WordValue(p.adjustType); break;
    case EP_ADJUST_MIN: *value = win::WordValue(p.adjustMin); break;
    case EP_ADJUST_MAX: *value = win::WordValue(p.adjustMax); break;
    case EP_SELECTION_START: *value = win::WordValue(LiveSelection(handle()).start); break;
    case EP_SELECTION_LENGTH: *value = win::WordValue(LiveSelection(handle()).length); break;
    case EP_SELECTED_TEXT: *value = Served(rt::GbkFromWide(SplitAtSelection(handle()).selected)); break;
    case EP_TEXT_OPTION_A: *value = win::TextValue(p.textOptionA); break;
    case EP_TEXT_OPTION_B: *value = win::TextValue(p.textOptionB); break;
    default: return false;
  }
  return true;
}

// Enter belongs to a multi-line box the user can type into.
bool EditBox::WantsKey(int virtualKey) const {
  return virtualKey == VK_RETURN && properties_.multiLine && properties_.inputMode != kInputReadOnly;
}

void EditBox::OnNotification(WORD code) {
  switch (code) {
    case EN_CHANGE: if (!settingContent_) win::RaiseUnitEvent(*this, EE_CHANGED); break;
    case EN_SETFOCUS: win::RaiseUnitEvent(*this, win::EV_GOT_FOCUS); break;
    case EN_KILLFOCUS: OnKillFocus(); break;
  }
}

void EditBox::OnKillFocus() {
  NormaliseInput();
  if (alive()) win::RaiseUnitEvent(*this, win::EV_LOST_FOCUS);
}

// A changed text goes back into the box with the caret where the selection
// ended.
void EditBox::NormaliseInput() {
  std::string text = LiveText();
  std::string normal = NormalisedInput(properties_.inputMode, text);
  if (normal == text) return;
  DWORD end = 0;
  SendMessageW(handle(), EM_GETSEL, 0, LPARAM(&end));
  WriteContent(std::move(normal));
  if (!alive()) return;
  SendMessageW(handle(), EM_SETSEL, end, end);
  SendMessageW(handle(), EM_SCROLLCARET, 0, 0);
}

LRESULT CALLBACK EditBox::SpinProc(HWND spin, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR box) {
  auto* unit = reinterpret_cast<EditBox*>(box);
  switch (message) {
    case win::kGetWindowObjectMessage: return reinterpret_cast<LRESULT>(static_cast<win::WindowObject*>(unit));
    case win::kReflectedMessageBase + WM_NOTIFY: return unit->OnSpinNotify(*reinterpret_cast<const NMHDR*>(lParam));
    // The subclass's record is freed only when it is removed.
    case WM_NCDESTROY: RemoveWindowSubclass(spin, &EditBox::SpinProc, kSpinSubclassId); break;
  }
  return DefSubclassProc(spin, message, wParam, lParam);
}

// Answers non-zero so that the control never moves its own position: the
// box's text is the value. This runs in the spin control's procedure, so
// the pin keeps the unit while a handler may end the box.
LRESULT EditBox::OnSpinNotify(const NMHDR& header) {
  if (header.code != UDN_DELTAPOS) return 0;
  int delta = reinterpret_cast<const NMUPDOWN&>(header).iDelta;
  win::UnitObject::Pin pin(this);
  if (delta && IsWindowEnabled(handle()) && IsWindowVisible(handle())) Step(delta > 0 ? 1 : -1);
  return 1;
}

void EditBox::Step(int direction) {
  if (properties_.adjustType == kSpinRaisesEvent) win::RaiseUnitEvent(*this, EE_SPIN, {direction});
  else if (properties_.adjustType == kSpinSteps) StepNumber(direction);
}

// A step that lands above the range wraps to its minimum, one below it to
// its maximum. The text reads as a 32-bit integer, as the runtime reads it;
// the step is taken in 64 bits, so it never overflows.
void EditBox::StepNumber(int direction) {
  int64_t low = std::min(properties_.adjustMin, properties_.adjustMax);
  int64_t high = std::max(properties_.adjustMin, properties_.adjustMax);
  int64_t next = std::clamp<int64_t>(ReadInteger(LiveText()), INT32_MIN, INT32_MAX) + direction;
  WriteContent(std::to_string(next > high ? low : next < low ? high : next));
  if (!alive()) return;
  SendMessageW(handle(), EM_SETSEL, 0, -1);
  SendMessageW(handle(), EM_SCROLLCARET, 0, 0);
  SetFocus(handle());
}

// One line of the font, centred in what the default handling proposes;
// never taller than that.
void EditBox::CentreLine(RECT& client) const {
  int room = client.bottom - client.top;
  if (lineHeight_ <= 0 || lineHeight_ >= room) return;
  client.top += (room - lineHeight_) / 2;
  client.bottom = client.top + lineHeight_;
}

// With wParam set, lParam's first rectangle is the client area, too. The
// line moves when the height changes, so the old client bits are not kept.
LRESULT EditBox::OnNcCalcSize(WPARAM wParam, LPARAM lParam) {
  LRESULT result = CallOriginal(WM_NCCALCSIZE, wParam, lParam);
  if (properties_.multiLine) return result;
  CentreLine(*reinterpret_cast<RECT*>(lParam));
  return wParam ? result | WVR_REDRAW : result;
}

LRESULT EditBox::OnNcPaint(WPARAM wParam, LPARAM lParam) {
  if (!properties_.multiLine) FillBand();
  return CallOriginal(WM_NCPAINT, wParam, lParam);
}

// The band around a centred line belongs to the frame.
LRESULT EditBox::OnNcHitTest(WPARAM wParam, LPARAM lParam) {
  POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  ScreenToClient(handle(), &point);
  RECT client;
  GetClientRect(handle(), &client);
  if (!properties_.multiLine && !PtInRect(&client, point)) return HTBORDER;
  return CallOriginal(WM_NCHITTEST, wParam, lParam);
}

// Fills what lies between the border (where the default handling puts the
// client area) and the centred line with the background brush.
void EditBox::FillBand() {
  RECT window, client;
  GetWindowRect(handle(), &window);
  RECT inner = window;
  CallOriginal(WM_NCCALCSIZE, FALSE, reinterpret_cast<LPARAM>(&inner));
  GetClientRect(handle(), &client);
  MapWindowPoints(handle(), nullptr, reinterpret_cast<POINT*>(&client), 2);
  OffsetRect(&inner, -window.left, -window.top);
  OffsetRect(&client, -window.left, -window.top);
  HDC dc = GetWindowDC(handle());
  ExcludeClipRect(dc, client.left, client.top, client.right, client.bottom);
  FillRect(dc, &inner, brush_.get());
  ReleaseDC(handle(), dc);
}

LRESULT EditBox::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case win::kReflectedMessageBase + WM_COMMAND: OnNotification(HIWORD(wParam)); return 0;
    case win::kReflectedMessageBase + WM_CTLCOLOREDIT: return OnControlColors(HDC(wParam));
    case win::kReflectedMessageBase + WM_CTLCOLORSTATIC: return OnControlColors(HDC(wParam));
    case WM_CHAR: case WM_IME_CHAR: if (!AcceptsCharacter(properties_.inputMode, wchar_t(wParam))) return 0; break;
    case WM_NCCALCSIZE: return OnNcCalcSize(wParam, lParam);
    case WM_NCPAINT: return OnNcPaint(wParam, lParam);
    case WM_NCHITTEST: return OnNcHitTest(wParam, lParam);
    case WM_SHOWWINDOW: if (!lParam) ShowSpin(wParam != 0); break;
    case WM_WINDOWPOSCHANGED: PlaceSpin(); break;
    case WM_ENABLE: if (spin_) EnableWindow(spin_.get(), BOOL(wParam)); break;
  }
  return CallOriginal(message, wParam, lParam);
}

}  // namespace

void* EditBoxInterface(int number) { return win::UnitInterface<EditBox>(number); }

}  // namespace units
