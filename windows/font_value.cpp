#include "windows/font_value.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "runtime/gbk.h"
#include "runtime/heap.h"
#include "runtime/values.h"

namespace win {
namespace {

constexpr char kDefaultFace[] = "宋体";

int ScreenDpi() {
  HDC screen = GetDC(nullptr);
  int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi;
}

int32_t NormaliseAngle(int64_t angle) {
  int64_t r = angle % 3600;
  return int32_t(r < 0 ? r + 3600 : r);
}

// 1..31 characters, otherwise the default face.
void SetFace(LOGFONTA& font, const char* face) {
  size_t length = face ? std::strlen(face) : 0;
  std::memset(font.lfFaceName, 0, sizeof font.lfFaceName);
  if (length >= 1 && length <= 31) std::memcpy(font.lfFaceName, face, length);
  else std::memcpy(font.lfFaceName, kDefaultFace, std::strlen(kDefaultFace));
}

// Stored heights may be any word, INT_MIN included.
int32_t PointSize(const LOGFONTA& font) {
  return MulDiv(int(std::min<int64_t>(std::llabs(int64_t(font.lfHeight)), INT_MAX)), 72, ScreenDpi());
}

void SetPointSize(LOGFONTA& font, int64_t size) {
  font.lfHeight = -MulDiv(int(std::min<int64_t>(std::llabs(size), INT_MAX)), ScreenDpi(), 72);
}

// DEFAULT_GUI_FONT's LOGFONT with its face name in GBK, read through the
// wide API like every text of the platform.
LOGFONTA DefaultGuiFont() {
  LOGFONTW wide{};
  GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof wide, &wide);
  LOGFONTA font{};
  std::memcpy(&font, &wide, offsetof(LOGFONTA, lfFaceName));
  std::string face = rt::GbkFromWide(wide.lfFaceName);
  std::memcpy(font.lfFaceName, face.data(), std::min<size_t>(face.size(), LF_FACESIZE - 1));
  return font;
}

}  // namespace

LOGFONTA FontOrDefault(std::span<const uint8_t> stored) {
  LOGFONTA font{};
  if (stored.size() >= sizeof font) std::memcpy(&font, stored.data(), sizeof font);
  else font = DefaultGuiFont();
  return font;
}

int64_t ReadFontElement(const LOGFONTA& font, int element) {
  switch (element) {
    case FONT_ANGLE: return font.lfOrientation;
    case FONT_BOLD: return font.lfWeight >= FW_BOLD;
    case FONT_ITALIC: return font.lfItalic != 0;
    case FONT_STRIKEOUT: return font.lfStrikeOut != 0;
    case FONT_UNDERLINE: return font.lfUnderline != 0;
    case FONT_SIZE: return PointSize(font);
    case FONT_FACE: return reinterpret_cast<intptr_t>(rt::MakeTextN(font.lfFaceName, int64_t(strnlen(font.lfFaceName, 32))));
    default: {
      auto* record = static_cast<FontRecord*>(rt::AllocMemory(sizeof(FontRecord)));
      *record = {font.lfOrientation, font.lfWeight >= FW_BOLD, font.lfItalic != 0, font.lfStrikeOut != 0,
                 font.lfUnderline != 0, PointSize(font),
                 rt::MakeTextN(font.lfFaceName, int64_t(strnlen(font.lfFaceName, 32)))};
      return reinterpret_cast<intptr_t>(record);
    }
  }
}

void WriteFontElement(LOGFONTA& font, int element, int64_t value) {
  switch (element) {
    case FONT_ANGLE: font.lfEscapement = font.lfOrientation = NormaliseAngle(value); break;
    case FONT_BOLD: font.lfWeight = value ? FW_BOLD : 0; break;
    case FONT_ITALIC: font.lfItalic = value ? 1 : 0; break;
    case FONT_STRIKEOUT: font.lfStrikeOut = value ? 1 : 0; break;
    case FONT_UNDERLINE: font.lfUnderline = value ? 1 : 0; break;
    case FONT_SIZE: SetPointSize(font, value); break;
    case FONT_FACE: SetFace(font, reinterpret_cast<const char*>(intptr_t(value))); break;
    default: break;
  }
}

std::optional<LOGFONTA> FontFromRecord(const FontRecord* record) {
  if (!record) return std::nullopt;
  LOGFONTA font{};
  font.lfEscapement = font.lfOrientation = record->angle;
  font.lfWeight = record->bold ? FW_BOLD : 0;
  font.lfItalic = record->italic ? 1 : 0;
  font.lfStrikeOut = record->strikeout ? 1 : 0;
  font.lfUnderline = record->underline ? 1 : 0;
  SetPointSize(font, record->size);
  SetFace(font, record->faceName);
  return font;
}

}  // namespace win
