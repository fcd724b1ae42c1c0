#include "units/label.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <memory>

#include "runtime/gbk.h"
#include "windows/blob_layouts.h"

namespace units {

std::optional<LabelProperties> ReadLabelBlob(std::span<const uint8_t> blob) {
  return win::ReadVersionedBlob<win::layout::Label, LabelProperties>(blob);
}

std::vector<uint8_t> WriteLabelBlob(const LabelProperties& p) {
  return win::WriteVersionedBlob<win::layout::Label>(p);
}

namespace {

constexpr UINT kHorizontalFlags[] = {DT_LEFT, DT_CENTER, DT_RIGHT};
constexpr UINT kVerticalFlags[] = {DT_TOP, DT_VCENTER, DT_BOTTOM};

}  // namespace

UINT LabelTextFlags(const LabelProperties& p) {
  UINT flags = DT_NOCLIP | win::Pick(kHorizontalFlags, p.horizontalAlignment);
  if (p.wordWrap) return flags | DT_WORDBREAK;
  return flags | DT_SINGLELINE | win::Pick(kVerticalFlags, p.verticalAlignment);
}

namespace {

// The colours of a frame or gradient that are drawn, in order.
std::vector<COLORREF> DrawnColors(std::initializer_list<uint32_t> colors) {
  std::vector<COLORREF> drawn;
  for (uint32_t color : colors)
    if (color != win::kDefaultColor) drawn.push_back(COLORREF(color));
  return drawn;
}

// The colour at step `step` of `steps` along evenly spaced colour stops.
COLORREF Blend(std::span<const COLORREF> stops, int step, int steps) {
  double at = steps > 1 ? double(step) * double(stops.size() - 1) / double(steps - 1) : 0.0;
  size_t from = std::min(size_t(at), stops.size() - 2);
  double t = at - double(from);
  auto channel = [&](int shift) {
    double a = (stops[from] >> shift) & 0xFF, b = (stops[from + 1] >> shift) & 0xFF;
    return COLORREF(a + (b - a) * t + 0.5) << shift;
  };
  return channel(0) | channel(8) | channel(16);
}

void Fill(HDC dc, const RECT& area, COLORREF color) {
  SetDCBrushColor(dc, color);
  FillRect(dc, &area, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

// Nested rectangles, one pixel apart; ring 0 is the outermost.
void FillRings(HDC dc, RECT area, int rings, bool outward, std::span<const COLORREF> stops) {
  for (int ring = 0; ring < rings && !IsRectEmpty(&area); ++ring) {
    Fill(dc, area, Blend(stops, outward ? rings - 1 - ring : ring, rings));
    InflateRect(&area, -1, -1);
  }
}

// One-pixel strips across the area, left to right or top to bottom.
void FillStrips(HDC dc, const RECT& area, bool across, int mode, std::span<const COLORREF> stops) {
  int strips = across ? area.right - area.left : area.bottom - area.top;
  for (int k = 0; k < strips; ++k) {
    int step = mode == 0 ? k : mode == 1 ? strips - 1 - k : std::min(k, strips - 1 - k) * 2;
    RECT strip = across ? RECT{area.left + k, area.top, area.left + k + 1, area.bottom}
                        : RECT{area.left, area.top + k, area.right, area.top + k + 1};
    Fill(dc, strip, Blend(stops, step, strips));
  }
}

void FillGradient(HDC dc, const RECT& area, int32_t mode, std::span<const COLORREF> stops) {
  int rings = (std::min(area.right - area.left, area.bottom - area.top) + 1) / 2;
  switch (mode) {
    case 1: FillStrips(dc, area, true, 0, stops); break;
    case 2: FillStrips(dc, area, true, 1, stops); break;
    case 3: FillStrips(dc, area, false, 0, stops); break;
    case 4: FillStrips(dc, area, false, 1, stops); break;
    case 5: FillStrips(dc, area, true, 2, stops); break;
    case 6: FillStrips(dc, area, false, 2, stops); break;
    case 7: FillRings(dc, area, rings, false, stops); break;
    case 8: FillRings(dc, area, rings, true, stops); break;
  }
}

bool IsGradientMode(int32_t mode) { return mode >= 1 && mode <= 8; }

void PaintBackground(HDC dc, const RECT& area, const LabelProperties& p) {
  std::vector<COLORREF> stops = DrawnColors({p.gradientColor1, p.gradientColor2, p.gradientColor3});
  if (IsGradientMode(p.gradientMode) && stops.size() >= 2) {
    FillGradient(dc, area, p.gradientMode, stops);
  } else {
    Fill(dc, area, win::ResolveColor(p.backColor));
  }
}

// The relief effects (1 sunken, 2 raised, 3 shadow) draw a copy of the text
// first, then the text itself, possibly moved.
struct Effect {
  POINT copyOffset;
  COLORREF copyColor;
  POINT textOffset;
};
constexpr Effect kEffects[] = {
    {{1, 1}, RGB(255, 255, 255), {0, 0}},
    {{0, 0}, RGB(255, 255, 255), {1, 1}},
    {{2, 2}, RGB(0, 0, 0), {0, 0}},
};

void DrawCaption(HDC dc, RECT area, const std::wstring& text, UINT flags, COLORREF color, POINT offset) {
  OffsetRect(&area, offset.x, offset.y);
  SetTextColor(dc, color);
  DrawTextW(dc, text.c_str(), int(text.size()), &area, flags);
}

void PaintCaption(HDC dc, const RECT& area, const LabelProperties& p, HFONT font) {
  if (p.caption.empty()) return;
  std::wstring text = rt::WideFromGbk(p.caption);
  UINT flags = LabelTextFlags(p);
  HGDIOBJ previous = SelectObject(dc, font);
  SetBkMode(dc, TRANSPARENT);
  POINT textOffset{0, 0};
  if (p.effect >= 1 && p.effect <= int32_t(std::size(kEffects))) {
    const Effect& effect = kEffects[p.effect - 1];
    DrawCaption(dc, area, text, flags, effect.copyColor, effect.copyOffset);
    textOffset = effect.textOffset;
  }
  DrawCaption(dc, area, text, flags, win::ResolveColor(p.textColor, COLOR_BTNTEXT), textOffset);
  SelectObject(dc, previous);
}

}  // namespace

void PaintLabel(HDC dc, RECT client, const LabelProperties& p, HFONT font) {
  int saved = SaveDC(dc);
  std::vector<COLORREF> frame = DrawnColors({p.frameColor1, p.frameColor2, p.frameColor3});
  if (p.borderStyle == kGradientFrame && p.frameWidth > 0 && frame.size() >= 2) {
    // A frame wider than half the label covers it all; the inset stops
    // there, so a huge width cannot overflow the rectangle's coordinates.
    int inset = std::min<int>(p.frameWidth, (std::min(client.right - client.left, client.bottom - client.top) + 1) / 2);
    FillRings(dc, client, p.frameWidth, false, frame);
    InflateRect(&client, -inset, -inset);
  }
  IntersectClipRect(dc, client.left, client.top, client.right, client.bottom);
  PaintBackground(dc, client, p);
  PaintCaption(dc, client, p, font);
  RestoreDC(dc, saved);
}

namespace {

constexpr wchar_t kLabelClass[] = L"_QX_Label";

// What a write may store.
constexpr int32_t kLastEffect = int32_t(std::size(kEffects));
constexpr int32_t kNarrowestFrame = 5;
constexpr int32_t kLastPictureMode = 2;
constexpr int32_t kLastGradientMode = 8;
constexpr int32_t kLastAlignment = int32_t(std::size(kHorizontalFlags)) - 1;

class Label final : public win::UnitObject {
 public:
  using Properties = LabelProperties;
  static std::optional<Properties> Read(std::span<const uint8_t> blob) { return ReadLabelBlob(blob); }
  static std::vector<uint8_t> Write(const Properties& properties) { return WriteLabelBlob(properties); }
  static void VisitTexts(Properties& properties, const win::TextVisit& visit);

  Label(const win::CreateArgs& args, LabelProperties properties)
      : UnitObject(args.windowId, args.unitId), properties_(std::move(properties)), font_(properties_.font) {}

  bool Open(const win::CreateArgs& args);
  bool SetProperty(int index, const win::PropertyValue& value);
  std::vector<uint8_t> Serialize() const { return WriteLabelBlob(properties_); }
  bool GetProperty(int index, win::PropertyValue* value) const;

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void SetCaption(std::string caption);
  void SetBorderStyle(int32_t borderStyle);
  void SetFont(std::vector<uint8_t> font);
  LRESULT OnPaint();
  LRESULT OnFeedback(WPARAM wParam, LPARAM lParam);

  LabelProperties properties_;
  win::UnitFont font_;
};

void Label::VisitTexts(Properties& p, const win::TextVisit& visit) {
  visit(p.caption);
  visit(p.textOptionA);
  visit(p.textOptionB);
  visit.FontFace(p.font);
}

bool Label::Open(const win::CreateArgs& args) {
  win::RegisterUnitClass(kLabelClass, CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS, win::SystemCursor(IDC_ARROW));
  if (!win::OpenUnitWindow(*this, {kLabelClass, WS_CLIPSIBLINGS, 0, properties_.caption}, args)) return false;
  win::ApplyBorderStyle(handle(), properties_.borderStyle);
  return true;
}

// Every write repaints the label; none needs a new window.
bool Label::SetProperty(int index, const win::PropertyValue& v) {
  LabelProperties& p = properties_;
  switch (index + 8) {
    case LABEL_CAPTION: SetCaption(win::TextOf(v)); break;
    case LABEL_EFFECT: p.effect = win::ClampedWord(v, 0, kLastEffect); break;
    case LABEL_BORDER_STYLE: SetBorderStyle(win::ClampedWord(v, 0, kGradientFrame)); break;
    case LABEL_FRAME_WIDTH: p.frameWidth = win::ClampedWord(v, kNarrowestFrame, INT32_MAX); break;
    case LABEL_FRAME_COLOR_1: p.frameColor1 = v.first; break;
    case LABEL_FRAME_COLOR_2: p.frameColor2 = v.first; break;
    case LABEL_FRAME_COLOR_3: p.frameColor3 = v.first; break;
    case LABEL_FONT: SetFont(win::BytesOf(v)); break;
    case LABEL_TEXT_COLOR: p.textColor = v.first; break;
    case LABEL_BACK_COLOR: p.backColor = v.first; break;
    // Pictures are kept, not decoded: there is no decoded copy to forget.
    case LABEL_PICTURE: p.picture = win::BytesOf(v); break;
    case LABEL_PICTURE_MODE: p.pictureMode = win::ClampedWord(v, 0, kLastPictureMode); break;
    case LABEL_GRADIENT_MODE: p.gradientMode = win::ClampedWord(v, 0, kLastGradientMode); break;
    case LABEL_GRADIENT_COLOR_1: p.gradientColor1 = v.first; break;
    case LABEL_GRADIENT_COLOR_2: p.gradientColor2 = v.first; break;
    case LABEL_GRADIENT_COLOR_3: p.gradientColor3 = v.first; break;
    case LABEL_HORIZONTAL_ALIGNMENT: p.horizontalAlignment = win::ClampedWord(v, 0, kLastAlignment); break;
    case LABEL_WORD_WRAP: p.wordWrap = int32_t(v.first); break;
    case LABEL_VERTICAL_ALIGNMENT: p.verticalAlignment = win::ClampedWord(v, 0, kLastAlignment); break;
    case LABEL_TEXT_OPTION_A: p.textOptionA = win::TextOf(v); break;
    case LABEL_TEXT_OPTION_B: p.textOptionB = win::TextOf(v); break;
    default: return false;
  }
  InvalidateRect(handle(), nullptr, FALSE);
  return false;
}

bool Label::GetProperty(int index, win::PropertyValue* value) const {
  const LabelProperties& p = properties_;
  switch (index + 8) {
    case LABEL_CAPTION: *value = win::TextValue(p.caption); break;
    case LABEL_EFFECT: *value = win::WordValue(uint32_t(p.effect)); break;
    case LABEL_BORDER_STYLE: *value = win::WordValue(uint32_t(p.borderStyle)); break;
    case LABEL_FRAME_WIDTH: *value = win::WordValue(uint32_t(p.frameWidth)); break;
    case LABEL_FRAME_COLOR_1: *value = win::WordValue(p.frameColor1); break;
    case LABEL_FRAME_COLOR_2: *value = win::WordValue(p.frameColor2); break;
    case LABEL_FRAME_COLOR_3: *value = win::WordValue(p.frameColor3); break;
    case LABEL_FONT: *value = win::BytesValue(p.font); break;
    case LABEL_TEXT_COLOR: *value = win::WordValue(p.textColor); break;
    case LABEL_BACK_COLOR: *value = win::WordValue(p.backColor); break;
    case LABEL_PICTURE: *value = win::BytesValue(p.picture); break;
    case LABEL_PICTURE_MODE: *value = win::WordValue(uint32_t(p.pictureMode)); break;
    case LABEL_GRADIENT_MODE: *value = win::WordValue(uint32_t(p.gradientMode)); break;
    case LABEL_GRADIENT_COLOR_1: *value = win::WordValue(p.gradientColor1); break;
    case LABEL_GRADIENT_COLOR_2: *value = win::WordValue(p.gradientColor2); break;
    case LABEL_GRADIENT_COLOR_3: *value = win::WordValue(p.gradientColor3); break;
    case LABEL_HORIZONTAL_ALIGNMENT: *value = win::WordValue(uint32_t(p.horizontalAlignment)); break;
    case LABEL_WORD_WRAP: *value = win::WordValue(uint32_t(p.wordWrap)); break;
    case LABEL_VERTICAL_ALIGNMENT: *value = win::WordValue(uint32_t(p.verticalAlignment)); break;
    case LABEL_TEXT_OPTION_A: *value = win::TextValue(p.textOptionA); break;
    case LABEL_TEXT_OPTION_B: *value = win::TextValue(p.textOptionB); break;
    default: return false;
  }
  return true;
}

// The caption is the window's text too, for mnemonics and screen readers.
void Label::SetCaption(std::string caption) {
  properties_.caption = std::move(caption);
  SetWindowTextW(handle(), rt::WideFromGbk(properties_.caption).c_str());
}

void Label::SetBorderStyle(int32_t borderStyle) {
  properties_.borderStyle = borderStyle;
  win::ApplyBorderStyle(handle(), borderStyle);
}

void Label::SetFont(std::vector<uint8_t> font) {
  properties_.font = std::move(font);
  font_ = win::UnitFont(properties_.font);
}

LRESULT Label::OnPaint() {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(handle(), &paint);
  RECT client;
  GetClientRect(handle(), &client);
  PaintLabel(dc, client, properties_, font_.get());
  EndPaint(handle(), &paint);
  return 0;
}

LRESULT Label::OnFeedback(WPARAM wParam, LPARAM lParam) {
  return LRESULT(win::RaiseUnitEvent(*this, 0, {int32_t(wParam), int32_t(lParam)}).result.value_or(0));
}

LRESULT Label::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: return OnPaint();
    case kLabelFeedbackMessage: return OnFeedback(wParam, lParam);
    case WM_SETFOCUS: win::RaiseUnitEvent(*this, win::EV_GOT_FOCUS); break;
    case WM_KILLFOCUS: win::RaiseUnitEvent(*this, win::EV_LOST_FOCUS); break;
  }
  return CallOriginal(message, wParam, lParam);
}

}  // namespace

void* LabelInterface(int number) { return win::UnitInterface<Label>(number); }

}  // namespace units
