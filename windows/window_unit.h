// The Window unit: the top-level unit of every window template.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "windows/unit_object.h"
#include "windows/unit_toolkit.h"
#include "windows/window_properties.h"

namespace win {

struct WindowTemplate;

// Window events raised with no arguments unless noted.
enum WindowEvent : int32_t {
  WE_CREATED = 0,
  WE_CLOSE_QUERY = 1,
  WE_DESTROYING = 2,
  WE_MOVED = 3,
  WE_RESIZED = 4,
  WE_ACTIVATED = 5,
  WE_DEACTIVATED = 6,
  WE_IDLE = 7,
  WE_FIRST_ACTIVATION = 8,
  WE_TRAY = 9,
  WE_SHOWN = 10,
  WE_HIDDEN = 11,
  WE_CLOSE_REQUEST = 12,
};

// Private messages the loader and bar units send.
constexpr UINT kLayoutBarsMessage = 0x8004;
constexpr UINT kRealignBarMessage = 0x8003;
constexpr UINT kUnitsCreatedMessage = 0x806F;
constexpr UINT kWindowReadyMessage = 0x8076;
// Posted by the destroy-window command: the window closes when its thread
// next processes messages, without asking its close events.
constexpr UINT kCloseRequestMessage = 0x8065;

// Child-control notifications (WM_COMMAND, WM_NOTIFY, WM_CTLCOLOR*,
// WM_DRAWITEM, scroll messages) are passed on to the unit that owns the
// control as kReflectedMessageBase + message, with the same parameters.
constexpr UINT kReflectedMessageBase = WM_USER + 0x1C00;

constexpr uint32_t kWindowTypeCode = 0x00010001;
constexpr uint32_t kMenuTypeCode = 0x00010003;

void* WindowInterface(int number);

inline constexpr UnitTypeDescriptor kWindowType = DescribeUnitType({
    .name = "窗口",
    .englishName = "window",
    .state = 0x800000D0,
    .properties = kWindowProperties,
    .interfaceFunction = &WindowInterface,
});

// Menu items keep their four properties (caption, checked, disabled,
// visible) in their records, where the framework serves them: the type has
// no operations.
inline constexpr PropertyDescriptor kMenuProperties[] = {Own(PROP_TEXT), Own(PROP_BOOL), Own(PROP_BOOL), Own(PROP_BOOL)};
void* MenuInterface(int number);

inline constexpr UnitTypeDescriptor kMenuType = DescribeUnitType({
    .name = "菜单",
    .englishName = "menu",
    .state = 0x80000004,
    .properties = kMenuProperties,
    .interfaceFunction = &MenuInterface,
});

// The window is gone: every modal loop waiting for it ends.
void EndModalWaits(uint32_t windowId);

class WindowUnit final : public UnitObject {
 public:
  using Properties = WindowProperties;
  static std::optional<Properties> Read(std::span<const uint8_t> blob) { return ReadWindowBlob(blob); }
  static std::vector<uint8_t> Write(const Properties& properties) { return WriteWindowBlob(properties); }
  static void VisitTexts(Properties& properties, const TextVisit& visit);

  WindowUnit(const CreateArgs& args, WindowProperties properties)
      : UnitObject(args.windowId, args.unitId), properties_(std::move(properties)) {}

  static WindowUnit* From(UnitObject* object) { return dynamic_cast<WindowUnit*>(object); }

  // Operations 1, 4, 5 and 6.
  bool Open(const CreateArgs& args);
  bool SetProperty(int index, const PropertyValue& value);
  std::vector<uint8_t> Serialize() const { return WriteWindowBlob(properties_); }
  bool GetProperty(int index, PropertyValue* value);

  WindowProperties& properties() { return properties_; }
  WindowTemplate& windowTemplate() const;

  // Loader hooks.
  void SetAccelerators(HACCEL table);
  HACCEL accelerators() const { return accelerators_; }
  void BeginModal();
  bool modal() const { return modal_; }
  bool closing() const { return closing_; }
  // Pending close: loading the window again destroys it and loads it anew.
  void MarkClosing() { closing_ = true; }
  void SetFirstShowPending() { firstShowPending_ = true; }
  // The help viewer opened for this window is closed when the window goes.
  void NoteHelpOpened() { helpOpened_ = true; }
  void NoteHelpClosed() { helpOpened_ = false; }
  // Destroys at once, giving back what a modal window disabled.
  void DestroyNow();

  // The show step: the first show after loading uses the position property;
  // a modal window then runs a nested message loop until it is gone.
  void Show();
  void LayoutBars();
  void RebuildMenu();

  bool PreTranslateMessage(MSG& message) override;

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  void OnFinalDestroy() override;

 private:
  void OnClose();
  void OnDestroy();
  void OnActivate(WPARAM wParam);
  bool OnSetCursor(HWND target, LPARAM lParam);
  void OnMenuCommand(UINT command);
  void OnEraseBackground(HDC dc);
  LRESULT Reflect(HWND child, UINT message, WPARAM wParam, LPARAM lParam);
  void RestoreDisabledWindows();
  void FocusFirstUnit();
  void RunModalLoop();

  WindowProperties properties_;
  HACCEL accelerators_ = nullptr;
  struct DisabledWindow {
    HWND window;
    bool wasEnabled;
  };
  std::vector<DisabledWindow> disabled_;
  HWND rememberedFocus_ = nullptr;
  bool modal_ = false;
  bool closing_ = false;
  bool firstShowPending_ = false;
  bool firstActivationDone_ = false;
  bool helpOpened_ = false;
};

}  // namespace win
