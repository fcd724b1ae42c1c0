#include "units/edit_box.h"

#include <commctrl.h>

#include <algorithm>
#include <memory>

#include "runtime/gbk.h"
#include "windows/blob.h"
#include "windows/window_unit.h"

namespace units {

namespace {

// The password character is the blob's only 16-bit field; the version and
// nine words come before it.
constexpr size_t kPasswordCharOffset = 40;
constexpr size_t kPasswordCharEnd = kPasswordCharOffset + 2;

void ReadTail(win::BlobReader& tail, uint32_t version, EditBoxProperties& p) {
  p.letterCase = int32_t(tail.word());
  p.adjustType = int32_t(tail.word());
  p.adjustMin = int32_t(tail.word());
  p.adjustMax = int32_t(tail.word());
  p.selectionStart = int32_t(tail.word());
  p.selectionLength = int32_t(tail.word());
  p.font = tail.countedBytes();
  p.content = tail.countedText();
  if (version < 2) return;
  p.textOptionA = tail.countedText();
  p.textOptionB = tail.countedText();
}

}  // namespace

std::optional<EditBoxProperties> ReadEditBoxBlob(std::span<const uint8_t> blob) {
  EditBoxProperties p;
  if (blob.empty()) return p;
  if (blob.size() < kPasswordCharEnd) return std::nullopt;
  win::BlobReader head(blob.first(kPasswordCharOffset));
  uint32_t version = head.word();
  if (version > kEditBoxVersion) return std::nullopt;
  p.borderStyle = int32_t(head.word());
  p.textColor = head.word();
  p.backColor = head.word();
  p.hideSelection = int32_t(head.word());
  p.maxLength = int32_t(head.word());
  p.multiLine = int32_t(head.word());
  p.scrollBars = int32_t(head.word());
  p.alignment = int32_t(head.word());
  p.inputMode = int32_t(head.word());
  p.passwordChar = uint16_t(blob[kPasswordCharOffset] | blob[kPasswordCharOffset + 1] << 8);
  win::BlobReader tail(blob.subspan(kPasswordCharEnd));
  ReadTail(tail, version, p);
  if (!tail.ok()) return std::nullopt;
  return p;
}

std::vector<uint8_t> WriteEditBoxBlob(const EditBoxProperties& p) {
  win::BlobWriter head;
  head.word(kEditBoxVersion).word(uint32_t(p.borderStyle)).word(p.textColor).word(p.backColor);
  head.word(uint32_t(p.hideSelection)).word(uint32_t(p.maxLength)).word(uint32_t(p.multiLine));
  head.word(uint32_t(p.scrollBars)).word(uint32_t(p.alignment)).word(uint32_t(p.inputMode));
  std::vector<uint8_t> blob = head.take();
  blob.push_back(uint8_t(p.passwordChar));
  blob.push_back(uint8_t(p.passwordChar >> 8));
  win::BlobWriter tail;
  tail.word(uint32_t(p.letterCase)).word(uint32_t(p.adjustType)).word(uint32_t(p.adjustMin));
  tail.word(uint32_t(p.adjustMax)).word(uint32_t(p.selectionStart)).word(uint32_t(p.selectionLength));
  tail.countedBytes(p.font).countedText(p.content).countedText(p.textOptionA).countedText(p.textOptionB);
  std::vector<uint8_t> rest = tail.take();
  blob.insert(blob.end(), rest.begin(), rest.end());
  return blob;
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
    size_t width = uint8_t(text[at]) >= 0x81 && at + 1 < text.size() ? 2 : 1;
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

struct WindowDeleter {
  void operator()(HWND window) const {
    if (IsWindow(window)) DestroyWindow(window);
  }
};
using WindowPtr = std::unique_ptr<std::remove_pointer_t<HWND>, WindowDeleter>;

// The character the control shows in place of each typed one.
wchar_t PasswordCharOf(uint16_t stored) {
  char bytes[2] = {char(stored & 0xFF), char(stored >> 8)};
  size_t width = uint8_t(bytes[0]) >= 0x81 && bytes[1] ? 2 : 1;
  std::wstring wide = rt::WideFromGbk({bytes, width});
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

class EditBox final : public win::UnitObject {
 public:
  using Properties = EditBoxProperties;
  static std::optional<Properties> Read(std::span<const uint8_t> blob) { return ReadEditBoxBlob(blob); }
  static std::vector<uint8_t> Write(const Properties& properties) { return WriteEditBoxBlob(properties); }

  EditBox(const win::CreateArgs& args, EditBoxProperties properties)
      : UnitObject(args.windowId, args.unitId), properties_(std::move(properties)) {}

  bool Open(const win::CreateArgs& args);
  std::vector<uint8_t> Serialize();
  bool WantsKey(int virtualKey) const;

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  void OnFinalDestroy() override { spin_.reset(); }

 private:
  void ApplyFont();
  void CreateSpin(const win::CreateArgs& args);
  void PlaceSpin();
  void ShowSpin(bool shown);
  void Select();
  LRESULT OnControlColors(HDC dc) {
    return win::ControlColors(dc, properties_.textColor, properties_.backColor, brush_.get());
  }

  EditBoxProperties properties_;
  win::GdiPtr<HBRUSH> brush_;
  win::UnitFont font_;
  WindowPtr spin_;
};

bool EditBox::Open(const win::CreateArgs& args) {
  brush_ = win::SolidBrush(properties_.backColor);
  if (!win::OpenUnitWindow(*this, {L"EDIT", EditBoxStyle(properties_), 0, properties_.content}, args)) return false;
  HWND box = handle();
  ApplyFont();
  SendMessageW(box, EM_LIMITTEXT, WPARAM(std::max(properties_.maxLength, 0)), 0);
  if (properties_.inputMode == kInputPassword)
    SendMessageW(box, EM_SETPASSWORDCHAR, PasswordCharOf(properties_.passwordChar), 0);
  if (!properties_.multiLine && (properties_.adjustType == 1 || properties_.adjustType == 2)) CreateSpin(args);
  Select();
  win::ApplyBorderStyle(box, properties_.borderStyle);
  return true;
}

// A single-line box is made at least as tall as one line of its font.
void EditBox::ApplyFont() {
  font_ = win::UnitFont(properties_.font);
  if (!properties_.multiLine) {
    int needed = TextHeight(font_.get(), L"吴") + 2 * GetSystemMetrics(SM_CYEDGE);
    RECT box;
    GetWindowRect(handle(), &box);
    if (box.bottom - box.top < needed)
      SetWindowPos(handle(), nullptr, 0, 0, box.right - box.left, needed, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  SendMessageW(handle(), WM_SETFONT, WPARAM(font_.get()), TRUE);
}

void EditBox::CreateSpin(const win::CreateArgs& args) {
  INITCOMMONCONTROLSEX classes{sizeof(classes), ICC_UPDOWN_CLASS};
  InitCommonControlsEx(&classes);
  int32_t border = properties_.borderStyle;
  DWORD exStyle = border == 0 || border == 1 || border == 3 ? WS_EX_STATICEDGE : 0;
  HMENU id = reinterpret_cast<HMENU>(static_cast<intptr_t>(args.controlId + kSpinIdOffset));
  spin_.reset(CreateWindowExW(exStyle, UPDOWN_CLASSW, nullptr, WS_CHILD | WS_CLIPSIBLINGS, 0, 0, 0, 0, args.parent,
                              id, GetModuleHandleW(nullptr), nullptr));
  if (!spin_) {
    properties_.adjustType = 0;
    return;
  }
  SendMessageW(spin_.get(), UDM_SETRANGE32, WPARAM(std::min(properties_.adjustMin, properties_.adjustMax)),
               LPARAM(std::max(properties_.adjustMin, properties_.adjustMax)));
  if (args.style & WS_DISABLED) EnableWindow(spin_.get(), FALSE);
  PlaceSpin();
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

void EditBox::Select() {
  EditSelection range = SelectionInText(properties_.content, properties_.selectionStart, properties_.selectionLength);
  SendMessageW(handle(), EM_SETSEL, WPARAM(range.start), LPARAM(range.end));
  SendMessageW(handle(), EM_SCROLLCARET, 0, 0);
}

// The user may have typed: the content is the window's text.
std::vector<uint8_t> EditBox::Serialize() {
  properties_.content = win::WindowTextGbk(handle());
  return WriteEditBoxBlob(properties_);
}

// Enter belongs to a multi-line box the user can type into.
bool EditBox::WantsKey(int virtualKey) const {
  return virtualKey == VK_RETURN && properties_.multiLine && properties_.inputMode != kInputReadOnly;
}

LRESULT EditBox::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case win::kReflectedMessageBase + WM_CTLCOLOREDIT: return OnControlColors(HDC(wParam));
    case win::kReflectedMessageBase + WM_CTLCOLORSTATIC: return OnControlColors(HDC(wParam));
    case WM_SHOWWINDOW: if (!lParam) ShowSpin(wParam != 0); break;
    case WM_WINDOWPOSCHANGED: PlaceSpin(); break;
    case WM_ENABLE: if (spin_) EnableWindow(spin_.get(), BOOL(wParam)); break;
  }
  return CallOriginal(message, wParam, lParam);
}

}  // namespace

void* EditBoxInterface(int number) { return win::UnitInterface<EditBox>(number); }

}  // namespace units
