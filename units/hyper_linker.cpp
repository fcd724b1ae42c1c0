#include "units/hyper_linker.h"

#include <windowsx.h>
#include <shellapi.h>

#include <cstring>
#include <cwchar>
#include <utility>

#include "runtime/gbk.h"
#include "windows/blob_layouts.h"

namespace units {

std::optional<HyperLinkerProperties> ReadHyperLinkerBlob(std::span<const uint8_t> blob) {
  return win::ReadVersionedBlob<win::layout::HyperLinker, HyperLinkerProperties>(blob);
}

std::vector<uint8_t> WriteHyperLinkerBlob(const HyperLinkerProperties& p) {
  return win::WriteVersionedBlob<win::layout::HyperLinker>(p);
}

namespace {

// Link types above 1 count as 1 (web), as writing them would store.
bool IsWebLink(const HyperLinkerProperties& p) { return p.linkType >= 1; }

}  // namespace

const std::string& LinkAddress(const HyperLinkerProperties& p) { return IsWebLink(p) ? p.webAddress : p.emailAddress; }

std::string LinkTarget(const HyperLinkerProperties& p) {
  const std::string& address = LinkAddress(p);
  if (address.empty() || IsWebLink(p)) return address;
  return "mailto:" + address;
}

COLORREF LinkTextColor(const HyperLinkerProperties& p, bool hover, bool visited) {
  return COLORREF(hover ? p.hoverColor : visited ? p.visitedColor : p.normalColor);
}

std::wstring BrowserCommandLine(std::wstring_view command, std::wstring_view target) {
  size_t cut = command.find(L"\"%1\"");
  if (cut == std::wstring_view::npos) cut = command.find(L"%1");
  std::wstring line(command.substr(0, cut));
  // Exactly one space before the target, however the placeholder was spaced.
  line.erase(line.find_last_not_of(L' ') + 1);
  return line.append(L" ").append(target);
}

namespace {

constexpr wchar_t kHyperLinkerClass[] = L"_QX_HyperLinker";
constexpr int kLinkCursorResource = 1032;
constexpr UINT kLinkTextFlags = DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOCLIP | DT_NOPREFIX;
constexpr DWORD kRegistryValueLimit = MAX_PATH;  // characters read from a registry value

// The program's own link cursor; the system's hand where the program has
// none (a test program, for instance).
HCURSOR LinkCursor() {
  HCURSOR own = LoadCursorW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kLinkCursorResource));
  return own ? own : win::SystemCursor(IDC_HAND);
}

std::optional<std::wstring> RegistryDefaultValue(const std::wstring& key) {
  HKEY opened;
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS) return std::nullopt;
  wchar_t value[kRegistryValueLimit] = {};
  DWORD size = sizeof(value);
  LONG status = RegQueryValueExW(opened, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size);
  RegCloseKey(opened);
  if (status != ERROR_SUCCESS) return std::nullopt;
  return std::wstring(value, wcsnlen(value, size / sizeof(wchar_t)));
}

std::optional<std::wstring> RegisteredBrowserCommand() {
  std::optional<std::wstring> fileType = RegistryDefaultValue(L".htm");
  if (!fileType) return std::nullopt;
  return RegistryDefaultValue(*fileType + L"\\shell\\open\\command");
}

bool RunCommandLine(std::wstring line, int show) {
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = WORD(show);
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
    return false;
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

bool OpenLink(const std::string& target, int show) {
  if (target.empty()) return false;
  std::wstring wide = rt::WideFromGbk(target);
  if (INT_PTR(ShellExecuteW(nullptr, L"open", wide.c_str(), nullptr, nullptr, show)) > 32) return true;
  std::optional<std::wstring> command = RegisteredBrowserCommand();
  return command && RunCommandLine(BrowserCommandLine(*command, wide), show);
}

class HyperLinker final : public win::UnitObject {
 public:
  using Properties = HyperLinkerProperties;
  static std::optional<Properties> Read(std::span<const uint8_t> blob) { return ReadHyperLinkerBlob(blob); }
  static std::vector<uint8_t> Write(const Properties& properties) { return WriteHyperLinkerBlob(properties); }

  HyperLinker(const win::CreateArgs& args, HyperLinkerProperties properties)
      : UnitObject(args.windowId, args.unitId), properties_(std::move(properties)) {}

  bool Open(const win::CreateArgs& args);
  bool SetProperty(int index, const win::PropertyValue& value);
  std::vector<uint8_t> Serialize() const { return WriteHyperLinkerBlob(properties_); }
  bool GetProperty(int index, win::PropertyValue* value) const;
  static void VisitTexts(Properties& properties, const win::TextVisit& visit);

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  LRESULT OnPaint();
  void OnMouseMove(POINT point);
  void OnCaptureChanged(HWND gainer);
  void OnClick();
  void SetCaption(std::string caption);
  void Redraw() { InvalidateRect(handle(), nullptr, FALSE); }
  // The addresses show only while there is no caption.
  void RedrawAddress() {
    if (properties_.caption.empty()) Redraw();
  }

  HyperLinkerProperties properties_;
  bool hover_ = false;
  bool visited_ = false;
};

bool HyperLinker::Open(const win::CreateArgs& args) {
  win::RegisterUnitClass(kHyperLinkerClass, CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS, LinkCursor());
  if (!win::OpenUnitWindow(*this, {kHyperLinkerClass, WS_CLIPSIBLINGS, 0, properties_.caption}, args)) return false;
  win::ApplyBorderStyle(handle(), properties_.borderStyle);
  return true;
}

// Nothing re-creates the link: every change shows at once.
bool HyperLinker::SetProperty(int index, const win::PropertyValue& v) {
  HyperLinkerProperties& p = properties_;
  switch (index + 8) {
    case HL_CAPTION: SetCaption(win::TextOf(v)); break;
    case HL_LINK_TYPE: p.linkType = win::ClampedWord(v, 0, 1); Redraw(); break;
    case HL_EMAIL_ADDRESS: p.emailAddress = win::TextOf(v); RedrawAddress(); break;
    case HL_WEB_ADDRESS: p.webAddress = win::TextOf(v); RedrawAddress(); break;
    case HL_NORMAL_COLOR: p.normalColor = v.first; Redraw(); break;
    case HL_VISITED_COLOR: p.visitedColor = v.first; Redraw(); break;
    case HL_HOVER_COLOR: p.hoverColor = v.first; Redraw(); break;
    case HL_BACK_COLOR: p.backColor = v.first; Redraw(); break;
    case HL_BORDER_STYLE: p.borderStyle = win::ClampedWord(v, 0, 5); win::ApplyBorderStyle(handle(), p.borderStyle); break;
    case HL_FONT: p.font = win::BytesOf(v); Redraw(); break;
  }
  return false;
}

bool HyperLinker::GetProperty(int index, win::PropertyValue* value) const {
  const HyperLinkerProperties& p = properties_;
  switch (index + 8) {
    case HL_CAPTION: *value = win::TextValue(p.caption); break;
    case HL_LINK_TYPE: *value = win::WordValue(uint32_t(p.linkType)); break;
    case HL_EMAIL_ADDRESS: *value = win::TextValue(p.emailAddress); break;
    case HL_WEB_ADDRESS: *value = win::TextValue(p.webAddress); break;
    case HL_NORMAL_COLOR: *value = win::WordValue(p.normalColor); break;
    case HL_VISITED_COLOR: *value = win::WordValue(p.visitedColor); break;
    case HL_HOVER_COLOR: *value = win::WordValue(p.hoverColor); break;
    case HL_BACK_COLOR: *value = win::WordValue(p.backColor); break;
    case HL_BORDER_STYLE: *value = win::WordValue(uint32_t(p.borderStyle)); break;
    case HL_FONT: *value = win::BytesValue(p.font); break;
    default: return false;
  }
  return true;
}

void HyperLinker::VisitTexts(Properties& properties, const win::TextVisit& visit) {
  visit(properties.caption);
  visit(properties.emailAddress);
  visit(properties.webAddress);
  visit.FontFace(properties.font);
}

// The caption is the window text, which the paint draws.
void HyperLinker::SetCaption(std::string caption) {
  properties_.caption = std::move(caption);
  SetWindowTextW(handle(), rt::WideFromGbk(properties_.caption).c_str());
  Redraw();
}

LRESULT HyperLinker::OnPaint() {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(handle(), &paint);
  if (!IsRectEmpty(&paint.rcPaint)) {
    FillRect(dc, &paint.rcPaint, win::SolidBrush(properties_.backColor).get());
    std::wstring text = win::WindowText(handle());
    if (text.empty()) text = rt::WideFromGbk(LinkAddress(properties_));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, LinkTextColor(properties_, hover_, visited_));
    win::UnitFont font(properties_.font, win::FontMaking::Proof);
    HGDIOBJ previous = SelectObject(dc, font.get());
    RECT client;
    GetClientRect(handle(), &client);
    DrawTextW(dc, text.c_str(), int(text.size()), &client, kLinkTextFlags);
    SelectObject(dc, previous);
  }
  EndPaint(handle(), &paint);
  return 0;
}

// The mouse stays captured while it is over the link, so that leaving is
// seen.
void HyperLinker::OnMouseMove(POINT point) {
  RECT client;
  GetClientRect(handle(), &client);
  if (!hover_) {
    hover_ = true;
    Redraw();
    SetCapture(handle());
  } else if (!PtInRect(&client, point)) {
    hover_ = false;
    ReleaseCapture();
    Redraw();
  } else if (GetCapture() != handle()) {
    SetCapture(handle());
  }
}

// Another window took the mouse: the link would otherwise keep its hover
// colour until the mouse came back.
void HyperLinker::OnCaptureChanged(HWND gainer) {
  if (!hover_ || gainer == handle()) return;
  hover_ = false;
  Redraw();
}

// A failed open returns the link to its normal colour. Opening may pump
// messages, which may end the window.
void HyperLinker::OnClick() {
  visited_ = OpenLink(LinkTarget(properties_), SW_SHOW);
  if (alive()) Redraw();
}

LRESULT HyperLinker::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: return OnPaint();
    case WM_MOUSEMOVE: OnMouseMove({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}); break;
    case WM_CAPTURECHANGED: OnCaptureChanged(HWND(lParam)); break;
    case WM_LBUTTONDOWN: OnClick(); break;
    case WM_SETFOCUS: win::RaiseUnitEvent(*this, win::EV_GOT_FOCUS); break;
    case WM_KILLFOCUS: win::RaiseUnitEvent(*this, win::EV_LOST_FOCUS); break;
  }
  return CallOriginal(message, wParam, lParam);
}

}  // namespace

void* HyperLinkerInterface(int number) { return win::UnitInterface<HyperLinker>(number); }

}  // namespace units
