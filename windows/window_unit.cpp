#include "windows/window_unit.h"

#include <commctrl.h>

#include "runtime/fatal.h"
#include "runtime/gbk.h"
#include "runtime/hidden_owner.h"
#include "runtime/message_loop.h"
#include "runtime/state.h"
#include "windows/events.h"
#include "windows/loader.h"
#include "windows/menu.h"
#include "windows/registry.h"
#include "windows/window_keyboard.h"

namespace win {
namespace {

constexpr wchar_t kDefaultClassName[] = L"VNWindow";

std::wstring RegisterWindowClass(const std::string& name) {
  std::wstring className = name.empty() ? kDefaultClassName : rt::WideFromGbk(name);
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW existing{sizeof existing};
  if (GetClassInfoExW(instance, className.c_str(), &existing)) return className;
  WNDCLASSEXW wc{sizeof wc};
  wc.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = HBRUSH(GetStockObject(NULL_BRUSH));
  wc.lpszClassName = className.c_str();
  if (!RegisterClassExW(&wc)) rt::ReportFatalError("注册窗口类失败");
  return className;
}

struct WindowStyle {
  DWORD style;
  DWORD extended;
};

WindowStyle StyleFor(const WindowProperties& p, DWORD loaderStyle) {
  WindowStyle s{WS_CLIPCHILDREN | loaderStyle, 0};
  uint32_t border = p.borderStyle;
  if (border != 0) {
    if (!p.title.empty() || p.controlBox) s.style |= WS_CAPTION | (p.controlBox ? WS_SYSMENU : 0);
    s.style |= WS_DLGFRAME;
  }
  if (border == 1 || border == 3 || border == 5) s.style |= WS_THICKFRAME;
  if (border == 3 || border == 4) s.extended |= WS_EX_TOOLWINDOW;
  if (border == 5 || border == 6) s.extended |= WS_EX_CLIENTEDGE;
  if (p.maximizeButton) s.style |= WS_MAXIMIZEBOX;
  if (p.minimizeButton) s.style |= WS_MINIMIZEBOX;
  if (p.position == POSITION_MINIMIZED) s.style |= WS_MINIMIZE;
  if (p.position == POSITION_MAXIMIZED && (s.style & WS_THICKFRAME)) s.style |= WS_MAXIMIZE;
  // An overlapped window always gets a caption from the system; a window
  // meant to have none is made a popup.
  if ((s.style & WS_CAPTION) != WS_CAPTION) s.style |= WS_POPUP;
  return s;
}

HWND OwnerFor(const WindowProperties& p, HWND owner, WindowStyle& s) {
  if (owner) {
    s.style |= WS_POPUP;
    return owner;
  }
  if (Registry().modalCreation || !p.showInTaskbar) return rt::State().hiddenOwner;
  return nullptr;
}

void ApplyCreationOptions(HWND window, const WindowProperties& p, const CreateArgs& args) {
  RECT r;
  GetWindowRect(window, &r);
  if (r.right - r.left != args.width || r.bottom - r.top != args.height)
    SetWindowPos(window, nullptr, 0, 0, args.width, args.height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  SendMessageW(window, WM_SETFONT, WPARAM(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
  if (p.alwaysOnTop) SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  if (!p.closeEnabled) DeleteMenu(GetSystemMenu(window, FALSE), SC_CLOSE, MF_BYCOMMAND);
}

bool TopLevelModalActive(HWND except) {
  for (WindowTemplate& t : Templates()) {
    auto* other = WindowUnit::From(LoadedWindow(t));
    if (other && other->handle() != except && other->modal() && IsWindowVisible(other->handle()) &&
        IsWindowEnabled(other->handle())) {
      SetActiveWindow(other->handle());
      return true;
    }
  }
  return false;
}

}  // namespace

bool WindowUnit::Open(const CreateArgs& args) {
  std::wstring className = RegisterWindowClass(properties_.className);
  WindowStyle s = StyleFor(properties_, args.style);
  int left = args.left, top = args.top;
  if (properties_.position == POSITION_CENTERED) {
    left = (GetSystemMetrics(SM_CXSCREEN) - args.width) / 2;
    top = (GetSystemMetrics(SM_CYSCREEN) - args.height) / 2;
  }
  HWND owner = OwnerFor(properties_, args.parent, s);
  // The menu stays the loader's until the window exists to hold it.
  HWND window = CreateWindowHandle(s.extended, className.c_str(), rt::WideFromGbk(properties_.title).c_str(), s.style,
                                   left, top, args.width, args.height, owner, args.menu);
  if (!window) return false;
  ApplyCreationOptions(window, properties_, args);
  Subclass(window);
  return true;
}

void WindowUnit::VisitTexts(Properties& properties, const TextVisit& visit) {
  visit(properties.className);
  visit(properties.title);
  visit(properties.helpFile);
}

WindowTemplate& WindowUnit::windowTemplate() const { return *FindTemplate(windowId()); }

void WindowUnit::SetAccelerators(HACCEL table) {
  if (accelerators_) DestroyAcceleratorTable(accelerators_);
  accelerators_ = table;
}

// Disables every other loaded top-level window, remembering how it was.
// Disabling the focused window raises its lost-focus event, whose handler
// may end this one: its end gave back what it had taken, and it takes no
// more.
void WindowUnit::BeginModal() {
  modal_ = true;
  for (WindowTemplate& t : Templates()) {
    UnitObject* other = LoadedWindow(t);
    if (!other || other == this || (GetWindowLongPtrW(other->handle(), GWL_STYLE) & WS_CHILD)) continue;
    disabled_.push_back({other->handle(), IsWindowEnabled(other->handle()) != FALSE});
    EnableWindow(other->handle(), FALSE);
    if (!alive()) return;
  }
}

void WindowUnit::RestoreDisabledWindows() {
  for (const DisabledWindow& d : disabled_)
    if (IsWindow(d.window)) EnableWindow(d.window, d.wasEnabled);
  disabled_.clear();
  modal_ = false;
}

void WindowUnit::DestroyNow() {
  RestoreDisabledWindows();
  DestroyWindow(handle());
}

// Showing raises activation events, whose handlers may destroy the window.
void WindowUnit::Show() {
  Pin pin(this);
  HWND window = handle();
  if (!firstShowPending_) {
    ShowWindow(window, SW_SHOW);
    return;
  }
  firstShowPending_ = false;
  if (modal_) {
    HWND parent = GetWindow(window, GW_OWNER);
    if (parent && (GetWindowLongPtrW(parent, GWL_EXSTYLE) & WS_EX_TOPMOST))
      SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  }
  int command = properties_.position == POSITION_MAXIMIZED   ? SW_SHOWMAXIMIZED
                : properties_.position == POSITION_MINIMIZED ? SW_SHOWMINIMIZED
                                                             : SW_SHOW;
  ShowWindow(window, command);
  if (modal_ && alive()) RunModalLoop();
}

// Runs until this window is gone; an outer modal wait resumes afterwards,
// unless its window went meanwhile too.
void WindowUnit::RunModalLoop() {
  auto& waits = rt::State().modalWaits;
  waits.push_back(windowId());
  rt::RunLoop(rt::LoopMode::ModalWait);
  waits.pop_back();
}

void EndModalWaits(uint32_t windowId) {
  for (uint32_t& wait : rt::State().modalWaits)
    if (wait == windowId) wait = 0;
  PostMessageW(nullptr, WM_NULL, 0, 0);  // wakes the loop that waits
}

void WindowUnit::RebuildMenu() {
  BuiltMenu built = BuildMenu(windowTemplate().units);
  SetAccelerators(built.accelerators);
  HMENU old = GetMenu(handle());
  SetMenu(handle(), built.bar);
  if (old) DestroyMenu(old);
}

void WindowUnit::LayoutBars() {
  WindowTemplate& t = windowTemplate();
  std::vector<HWND> top, bottom;
  for (uint32_t i = 1; i < t.units.count(); ++i) {
    UnitObject* unit = RecordObject(t, i);
    const UnitTypeDescriptor* type = unit ? UnitTypeOf(t, i) : nullptr;
    if (!type || !(type->state & UNIT_BAR) || !unit->alive()) continue;
    SendMessageW(unit->handle(), kRealignBarMessage, 0, 0);
    DWORD align = DWORD(GetWindowLongPtrW(unit->handle(), GWL_STYLE)) & 3;
    if (align == CCS_TOP) top.push_back(unit->handle());
    if (align == CCS_BOTTOM) bottom.push_back(unit->handle());
  }
  RECT client;
  GetClientRect(handle(), &client);
  int y = 0;
  for (auto it = top.rbegin(); it != top.rend(); ++it) {
    RECT r;
    GetWindowRect(*it, &r);
    MapWindowPoints(nullptr, handle(), reinterpret_cast<POINT*>(&r), 2);
    SetWindowPos(*it, nullptr, r.left, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    y += r.bottom - r.top;
  }
  y = client.bottom;
  for (auto it = bottom.rbegin(); it != bottom.rend(); ++it) {
    RECT r;
    GetWindowRect(*it, &r);
    MapWindowPoints(nullptr, handle(), reinterpret_cast<POINT*>(&r), 2);
    y -= r.bottom - r.top;
    SetWindowPos(*it, nullptr, r.left, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

bool WindowUnit::PreTranslateMessage(MSG& message) { return PreTranslateWindowMessage(*this, message); }

LRESULT WindowUnit::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CLOSE: OnClose(); return 0;
    case WM_DESTROY: OnDestroy(); break;
    case WM_MOVE: RaiseSimpleEvent(windowId(), 0, WE_MOVED); break;
    case WM_SIZE: LayoutBars(); RaiseSimpleEvent(windowId(), 0, WE_RESIZED); break;
    case WM_ACTIVATE: OnActivate(wParam); return 0;
    case WM_SHOWWINDOW: RaiseSimpleEvent(windowId(), 0, wParam ? WE_SHOWN : WE_HIDDEN); break;
    case WM_QUERYENDSESSION: return RaiseSimpleEvent(windowId(), 0, WE_CLOSE_QUERY).result.value_or(1) != 0;
    case WM_SETCURSOR: if (OnSetCursor(HWND(wParam), lParam)) return TRUE; break;
    case WM_ERASEBKGND: OnEraseBackground(HDC(wParam)); return 1;
    case kLayoutBarsMessage: LayoutBars(); return 0;
    case kCloseRequestMessage: DestroyNow(); return 0;
    case WM_SETFOCUS: RaiseSimpleEvent(windowId(), 0, EV_GOT_FOCUS); break;
    case WM_KILLFOCUS: RaiseSimpleEvent(windowId(), 0, EV_LOST_FOCUS); break;
    case WM_COMMAND:
      if (lParam) return Reflect(HWND(lParam), message, wParam, lParam);
      if (LOWORD(wParam) < kFirstMenuCommand) break;
      OnMenuCommand(LOWORD(wParam));
      return 0;
    case WM_NOTIFY: return Reflect(reinterpret_cast<NMHDR*>(lParam)->hwndFrom, message, wParam, lParam);
    case WM_CTLCOLOREDIT: case WM_CTLCOLORSTATIC: case WM_CTLCOLORBTN: case WM_CTLCOLORLISTBOX:
    case WM_HSCROLL: case WM_VSCROLL:
      if (lParam) return Reflect(HWND(lParam), message, wParam, lParam);
      break;
    case WM_DRAWITEM:
      if (wParam) return Reflect(reinterpret_cast<DRAWITEMSTRUCT*>(lParam)->hwndItem, message, wParam, lParam);
      break;
  }
  return CallOriginal(message, wParam, lParam);
}

// A unit that leaves a colour message unanswered (0) gets the default colours.
LRESULT WindowUnit::Reflect(HWND child, UINT message, WPARAM wParam, LPARAM lParam) {
  if (child && IsChild(handle(), child) && dynamic_cast<UnitObject*>(WindowObject::FromHandle(child))) {
    LRESULT answer = SendMessageW(child, kReflectedMessageBase + message, wParam, lParam);
    bool colour = message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC;
    if (answer || !colour) return answer;
  }
  return CallOriginal(message, wParam, lParam);
}

// Runs inside the window's own procedure, so the object outlives a handler
// that destroys the window; nothing more happens to a window that is gone.
void WindowUnit::OnClose() {
  closing_ = true;
  uint32_t id = windowId();
  bool refused = RaiseSimpleEvent(id, 0, WE_CLOSE_REQUEST).result == 0;
  if (alive() && !refused) refused = RaiseSimpleEvent(id, 0, WE_CLOSE_QUERY).result == 0;
  if (!alive()) return;
  if (refused) {
    closing_ = false;
    return;
  }
  DestroyNow();
}

void WindowUnit::OnDestroy() {
  RaiseSimpleEvent(windowId(), 0, WE_DESTROYING);
  if (helpOpened_) WinHelpW(handle(), nullptr, HELP_QUIT, 0);
  if (HMENU bar = GetMenu(handle())) {
    SetMenu(handle(), nullptr);
    DestroyMenu(bar);
  }
}

void WindowUnit::OnFinalDestroy() {
  RestoreDisabledWindows();
  SetAccelerators(nullptr);
}

void WindowUnit::OnActivate(WPARAM wParam) {
  bool active = LOWORD(wParam) != WA_INACTIVE;
  if (active && !modal_ && TopLevelModalActive(handle())) return;
  InvalidateRect(handle(), nullptr, FALSE);
  if (!active) {
    HWND focus = GetFocus();
    if (focus && IsChild(handle(), focus)) rememberedFocus_ = focus;
  } else if (rememberedFocus_ && IsWindow(rememberedFocus_) && IsChild(handle(), rememberedFocus_)) {
    SetFocus(rememberedFocus_);
  } else {
    FocusFirstUnit();
  }
  // The focus events above may have ended the window.
  bool& inActivationEvent = Registry().inActivationEvent;
  if (inActivationEvent || !alive()) return;
  inActivationEvent = true;
  if (active && !firstActivationDone_) {
    firstActivationDone_ = true;
    RaiseSimpleEvent(windowId(), 0, WE_FIRST_ACTIVATION);
  }
  if (alive()) RaiseSimpleEvent(windowId(), 0, active ? WE_ACTIVATED : WE_DEACTIVATED);
  inActivationEvent = false;
}

void WindowUnit::FocusFirstUnit() {
  HWND first = FirstFocusUnit(*this);
  SetFocus(first ? first : handle());
}

bool WindowUnit::OnSetCursor(HWND target, LPARAM lParam) {
  if (target == handle() && LOWORD(lParam) != HTCLIENT) return false;
  WindowTemplate& t = windowTemplate();
  auto index = UnitIndexOfHandle(t, target);
  if (!index) return false;
  UnitRecordLayout layout = t.units.unitLayout(*index);
  HCURSOR cursor = CursorInSlot(t.units.word(*index, layout.cursorSlot));
  if (!cursor) return false;
  SetCursor(cursor);
  return true;
}

// IDs from 57600 (0xE100) up are ignored; an index past the run too.
void WindowUnit::OnMenuCommand(UINT command) {
  if (command > kLastMenuCommand) return;
  WindowTemplate& t = windowTemplate();
  MenuRun run = FindMenuRun(t.units);
  uint32_t position = command - kFirstMenuCommand;
  if (position >= run.count) return;
  RaiseSimpleEvent(windowId(), t.units.idAt(run.first + position), 0);
}

void WindowUnit::OnEraseBackground(HDC dc) {
  RECT r;
  GetClientRect(handle(), &r);
  uint32_t color = properties_.backgroundColor;
  HBRUSH brush = color == kDefaultColor ? GetSysColorBrush(COLOR_BTNFACE) : CreateSolidBrush(COLORREF(color));
  FillRect(dc, &r, brush);
  if (color != kDefaultColor) DeleteObject(brush);
}

void* WindowInterface(int number) { return UnitInterface<WindowUnit>(number); }

// Menu items are served by the framework from their records.
void* MenuInterface(int) { return nullptr; }

}  // namespace win
