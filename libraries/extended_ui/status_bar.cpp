#include "libraries/extended_ui/status_bar.h"

// The image list stream functions need the stream interface declared first.
#include <objbase.h>
#include <commctrl.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstring>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <type_traits>
#include <vector>

#include "libraries/arguments.h"
#include "libraries/runtime_link.h"
#include "runtime/callback.h"
#include "runtime/gbk.h"
#include "windows/blob_layouts.h"
#include "windows/window_unit.h"

namespace lib::extended_ui {
namespace {

// The type's own properties, index − 8.
enum class Own : int { BackColour, Alignment, SizeGrip, Font, Icons, Parts };

// By alignment: docked to the bottom, docked to the top, placed freely.
constexpr std::array<DWORD, 3> kAlignmentStyles = {CCS_BOTTOM, CCS_TOP, CCS_NORESIZE | CCS_NOPARENTALIGN};
constexpr int32_t kLastAlignment = int32_t(kAlignmentStyles.size()) - 1;

// The icons data: "MITL" and four unread bytes, then an image list stream.
constexpr std::array<uint8_t, 4> kIconsMark = {'M', 'I', 'T', 'L'};
constexpr size_t kIconsHeaderSize = 8;

// Only the border styles reach the control: other bits of a part's border
// word would change the part index or ask for owner drawing.
constexpr uint32_t kBorderStyles = SBT_NOBORDERS | SBT_POPOUT;

// The most parts the control divides into. A text message addresses a part
// in the low byte of its word, so a higher index would land on another part
// with stray border bits: a longer list is refused like a refused division.
constexpr size_t kMostParts = 256;

// The width SetPartWidth gives when the program leaves it out.
constexpr int32_t kDefaultPartWidth = 50;

struct Part {
  int32_t width = 0;  // -1: to the right edge of the bar
  uint32_t border = 0;
  int32_t icon = -1;  // index into the image list; -1: none
  std::string text;
  std::string tip;
};

// Null when no parts data is stored; an empty list is data whose count is 0.
// Both show a simple, undivided bar.
using PartList = std::optional<std::vector<Part>>;

struct Properties {
  uint32_t backColour = win::kDefaultColor;
  uint32_t alignment = 0;
  bool sizeGrip = false;
  std::vector<uint8_t> font;  // a LOGFONTA, or empty: none
  std::vector<uint8_t> icons;
  PartList parts;
};

// Any length but that of a LOGFONTA means no font.
std::vector<uint8_t> StoredFont(std::vector<uint8_t> bytes) {
  if (bytes.size() != win::kLogFontSize) bytes.clear();
  return bytes;
}

// An empty blob gives the defaults; a newer version or a truncated blob is
// refused.
std::optional<Properties> ReadBlob(std::span<const uint8_t> blob) {
  auto properties = win::ReadVersionedBlob<win::layout::StatusBar, Properties>(blob);
  if (!properties) return std::nullopt;
  properties->alignment = std::min(properties->alignment, uint32_t(kLastAlignment));
  properties->font = StoredFont(std::move(properties->font));
  return properties;
}

std::vector<uint8_t> WriteBlob(const Properties& properties) {
  return win::WriteVersionedBlob<win::layout::StatusBar>(properties);
}

// Right edges of the parts: running sums of the widths; a width of -1 reaches
// the right edge and ends the sum, leaving 0 for every later part.
std::vector<int> RightEdges(const std::vector<Part>& parts) {
  std::vector<int> edges(parts.size(), 0);
  int64_t edge = 0;
  for (size_t i = 0; i < parts.size(); ++i) {
    if (parts[i].width == -1) {
      edges[i] = -1;
      break;
    }
    edge = std::clamp<int64_t>(edge + parts[i].width, INT_MIN, INT_MAX);
    edges[i] = int(edge);
  }
  return edges;
}

struct IconDeleter {
  void operator()(HICON icon) const { DestroyIcon(icon); }
};
struct ImageListDeleter {
  void operator()(HIMAGELIST list) const { ImageList_Destroy(list); }
};
struct ComReleaser {
  void operator()(IUnknown* object) const { object->Release(); }
};
using UniqueIcon = std::unique_ptr<std::remove_pointer_t<HICON>, IconDeleter>;
using UniqueImageList = std::unique_ptr<std::remove_pointer_t<HIMAGELIST>, ImageListDeleter>;
using UniqueStream = std::unique_ptr<IStream, ComReleaser>;

// A stream over a copy of the bytes; the stream frees its memory.
UniqueStream MemoryStream(std::span<const uint8_t> bytes) {
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
  if (!memory) return nullptr;
  std::memcpy(GlobalLock(memory), bytes.data(), bytes.size());
  GlobalUnlock(memory);
  IStream* stream = nullptr;
  if (FAILED(CreateStreamOnHGlobal(memory, TRUE, &stream))) {
    GlobalFree(memory);
    return nullptr;
  }
  return UniqueStream(stream);
}

UniqueImageList ReadImageList(std::span<const uint8_t> icons) {
  if (icons.size() <= kIconsHeaderSize || !std::equal(kIconsMark.begin(), kIconsMark.end(), icons.begin()))
    return nullptr;
  UniqueStream stream = MemoryStream(icons.subspan(kIconsHeaderSize));
  return UniqueImageList(stream ? ImageList_Read(stream.get()) : nullptr);
}

class StatusBar final : public win::UnitObject {
 public:
  using Properties = extended_ui::Properties;
  static std::optional<Properties> Read(std::span<const uint8_t> blob) { return ReadBlob(blob); }
  static std::vector<uint8_t> Write(const Properties& properties) { return WriteBlob(properties); }

  StatusBar(const win::CreateArgs& args, Properties properties)
      : UnitObject(args.windowId, args.unitId), properties_(std::move(properties)) {}

  bool Open(const win::CreateArgs& args);
  bool SetProperty(int index, const win::PropertyValue& value);
  std::vector<uint8_t> Serialize() const { return WriteBlob(properties_); }
  bool GetProperty(int index, win::PropertyValue* value);
  static void VisitTexts(Properties& properties, const win::TextVisit& visit);

  // The library's commands.
  void ChangePartText(int32_t index, std::string_view text);
  std::string_view PartText(int32_t index);
  void ChangePartWidth(int32_t index, int32_t width);

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
    return SendMessageW(handle_, message, wParam, lParam);
  }
  void SetBackColour(uint32_t colour);
  void SetFont(std::vector<uint8_t> font);
  void SetIcons(std::vector<uint8_t> icons);
  void SetParts(std::span<const uint8_t> data);
  win::PropertyValue CurrentPartsData();
  void ApplyFont();
  void BuildImageList();
  void ApplyBackColour() const;
  void ApplyParts();
  void ShowPart(size_t index, const Part& part);
  void ShowPartText(size_t index, const Part& part) const;
  void SetPartIcon(size_t index, int32_t icon);
  Part* PartAt(int32_t index);

  Properties properties_;
  win::UnitFont font_;
  UniqueImageList imageList_;
  std::vector<UniqueIcon> partIcons_;  // the icons the control shows, by part
  std::vector<uint8_t> partsRead_;     // the parts data last handed out by GetProperty
  bool partsShown_ = false;            // the control is divided into the stored parts
};

bool StatusBar::Open(const win::CreateArgs& args) {
  static const bool classesReady = [] {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_BAR_CLASSES};
    return InitCommonControlsEx(&controls) != FALSE;
  }();
  DWORD style = kAlignmentStyles[properties_.alignment] | (properties_.sizeGrip ? SBARS_SIZEGRIP : 0) | SBARS_TOOLTIPS;
  if (!classesReady || !win::OpenUnitWindow(*this, {STATUSCLASSNAMEW, style}, args)) return false;
  ApplyFont();
  BuildImageList();
  Send(SB_SIMPLE, FALSE);
  ApplyBackColour();
  ApplyParts();
  return true;
}

LRESULT StatusBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    // Sent by the Window unit before it lays out its bars: an empty WM_SIZE
    // makes the control place itself along its parent's edge.
    case win::kRealignBarMessage: return Send(WM_SIZE);
    default: return CallOriginal(message, wParam, lParam);
  }
}

// Alignment and size grip are style bits fixed at creation: the unit asks to
// be made again.
bool StatusBar::SetProperty(int index, const win::PropertyValue& value) {
  switch (Own(index)) {
    case Own::BackColour: SetBackColour(value.first); break;
    case Own::Alignment: properties_.alignment = uint32_t(win::ClampedWord(value, 0, kLastAlignment)); return true;
    case Own::SizeGrip: properties_.sizeGrip = value.first != 0; return true;
    case Own::Font: SetFont(win::BytesOf(value)); break;
    case Own::Icons: SetIcons(win::BytesOf(value)); break;
    case Own::Parts: SetParts(win::BytesOf(value)); break;
  }
  return false;
}

bool StatusBar::GetProperty(int index, win::PropertyValue* value) {
  switch (Own(index)) {
    case Own::BackColour: *value = win::WordValue(properties_.backColour); break;
    case Own::Alignment: *value = win::WordValue(properties_.alignment); break;
    case Own::SizeGrip: *value = win::WordValue(properties_.sizeGrip); break;
    case Own::Font: *value = win::BytesValue(properties_.font); break;
    case Own::Icons: *value = win::BytesValue(properties_.icons); break;
    case Own::Parts: *value = CurrentPartsData(); break;
    default: return false;
  }
  return true;
}

void StatusBar::VisitTexts(Properties& properties, const win::TextVisit& visit) {
  visit.FontFace(properties.font);
  if (!properties.parts) return;
  for (Part& part : *properties.parts) {
    visit(part.text);
    visit(part.tip);
  }
}

void StatusBar::SetBackColour(uint32_t colour) {
  properties_.backColour = colour;
  ApplyBackColour();
}

void StatusBar::SetFont(std::vector<uint8_t> font) {
  properties_.font = StoredFont(std::move(font));
  ApplyFont();
}

void StatusBar::SetIcons(std::vector<uint8_t> icons) {
  properties_.icons = std::move(icons);
  BuildImageList();
  ApplyParts();
}

// Parts data that does not parse is refused: the bar keeps its parts.
void StatusBar::SetParts(std::span<const uint8_t> data) {
  if (win::ReadListData<win::layout::StatusBarPart>(data, properties_.parts)) ApplyParts();
}

// Kept until the next read: the value points into it.
win::PropertyValue StatusBar::CurrentPartsData() {
  partsRead_ = win::ListData<win::layout::StatusBarPart>(properties_.parts);
  return win::BytesValue(partsRead_);
}

void StatusBar::ApplyFont() {
  font_ = win::UnitFont(properties_.font, win::FontMaking::Proof);
  Send(WM_SETFONT, WPARAM(font_.get()), TRUE);
}

// Icons data that cannot be read leaves the previous image list in use.
void StatusBar::BuildImageList() {
  if (UniqueImageList list = ReadImageList(properties_.icons)) imageList_ = std::move(list);
}

void StatusBar::ApplyBackColour() const { Send(SB_SETBKCOLOR, 0, LPARAM(win::ResolveColor(properties_.backColour))); }

void StatusBar::ApplyParts() {
  partsShown_ = false;
  if (!properties_.parts || properties_.parts->empty()) {
    Send(SB_SIMPLE, TRUE);
    partIcons_.clear();
    return;
  }
  const std::vector<Part>& parts = *properties_.parts;
  std::vector<int> edges = RightEdges(parts);
  BOOL wasSimple = BOOL(Send(SB_ISSIMPLE));
  Send(SB_SIMPLE, FALSE);
  // A refused division leaves the control's previous parts, texts and icons.
  if (parts.size() > kMostParts || !Send(SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()))) {
    Send(SB_SIMPLE, wasSimple);
    return;
  }
  partsShown_ = true;
  if (partIcons_.size() > parts.size()) partIcons_.resize(parts.size());
  for (size_t i = 0; i < parts.size(); ++i) ShowPart(i, parts[i]);
}

void StatusBar::ShowPart(size_t index, const Part& part) {
  ShowPartText(index, part);
  SetPartIcon(index, part.icon);
  Send(SB_SETTIPTEXTW, index, reinterpret_cast<LPARAM>(rt::WideFromGbk(part.tip).c_str()));
}

void StatusBar::ShowPartText(size_t index, const Part& part) const {
  Send(SB_SETTEXTW, index | (part.border & kBorderStyles), reinterpret_cast<LPARAM>(rt::WideFromGbk(part.text).c_str()));
}

// The unit owns the icons the control shows: a refused icon is destroyed and
// the part keeps its previous one.
void StatusBar::SetPartIcon(size_t index, int32_t icon) {
  UniqueIcon shown(icon >= 0 && imageList_ ? ImageList_GetIcon(imageList_.get(), icon, ILD_NORMAL) : nullptr);
  if (!Send(SB_SETICON, index, reinterpret_cast<LPARAM>(shown.get()))) return;
  if (partIcons_.size() <= index) partIcons_.resize(index + 1);
  partIcons_[index] = std::move(shown);
}

// Null outside the parts; no parts data has none.
Part* StatusBar::PartAt(int32_t index) {
  if (!properties_.parts || index < 0 || size_t(index) >= properties_.parts->size()) return nullptr;
  return &(*properties_.parts)[size_t(index)];
}

// Only this part is sent again, and only to a control that shows the stored
// parts: a control still divided as before a refused division has other
// parts under these indexes.
void StatusBar::ChangePartText(int32_t index, std::string_view text) {
  Part* part = PartAt(index);
  if (!part) return;
  part->text = text;
  if (partsShown_) ShowPartText(size_t(index), *part);
}

std::string_view StatusBar::PartText(int32_t index) {
  const Part* part = PartAt(index);
  return part ? std::string_view(part->text) : std::string_view();
}

void StatusBar::ChangePartWidth(int32_t index, int32_t width) {
  Part* part = PartAt(index);
  if (!part) return;
  part->width = std::max(width, -1);
  ApplyParts();
}

// Null for a bar whose window is gone while the program closes, and for a
// unit of another type named with the bar's type code.
StatusBar* CommandedBar(const lib::Arguments& arguments) {
  const rt::ArgRecord& unit = arguments[0];
  auto* object = reinterpret_cast<win::UnitObject*>(
      CallRuntime<rt::LIB_EXTENDED_UI>(rt::REQ_WINDOW_OBJECT_OR_FAIL, unit.low, unit.high));
  return dynamic_cast<StatusBar*>(object);
}

// A copy in the runtime's memory, which the program frees; null for the
// empty text.
char* RuntimeText(std::string_view text) {
  if (text.empty()) return nullptr;
  auto* copy = reinterpret_cast<char*>(CallRuntime<rt::LIB_EXTENDED_UI>(rt::REQ_ALLOC, intptr_t(text.size() + 1)));
  if (copy) *std::copy(text.begin(), text.end(), copy) = '\0';
  return copy;
}

}  // namespace

void* StatusBarInterface(int number) { return win::UnitInterface<StatusBar>(number); }

void SetPartText(rt::ArgRecord*, int count, rt::ArgRecord* records) {
  lib::Arguments arguments(count, records);
  if (StatusBar* bar = CommandedBar(arguments)) bar->ChangePartText(arguments.integer(1), arguments.text(2));
}

void GetPartText(rt::ArgRecord* result, int count, rt::ArgRecord* records) {
  lib::Arguments arguments(count, records);
  StatusBar* bar = CommandedBar(arguments);
  *result = rt::MakeBlock(rt::TYPE_TEXT, bar ? RuntimeText(bar->PartText(arguments.integer(1))) : nullptr);
}

void SetPartWidth(rt::ArgRecord*, int count, rt::ArgRecord* records) {
  lib::Arguments arguments(count, records);
  if (StatusBar* bar = CommandedBar(arguments))
    bar->ChangePartWidth(arguments.integer(1), arguments.optionalInteger(2).value_or(kDefaultPartWidth));
}

}  // namespace lib::extended_ui
