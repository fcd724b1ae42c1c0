#include "windows/mouse_pointer.h"

#include <cstring>
#include <iterator>

namespace win {
namespace {

constexpr uint16_t kHandResource = 1032;

// Index → stock ID; index 0 is "none": the window class's own cursor.
constexpr uint16_t kStockCursors[] = {
    0,     32512 /* IDC_ARROW */, 32515 /* IDC_CROSS */, 32513 /* IDC_IBEAM */, 32514 /* IDC_WAIT */,
    32651 /* IDC_HELP */, 32650 /* IDC_APPSTARTING */, 32648 /* IDC_NO */, 32646 /* IDC_SIZEALL */,
    32643 /* IDC_SIZENESW */, 32645 /* IDC_SIZENS */, 32642 /* IDC_SIZENWSE */, 32644 /* IDC_SIZEWE */,
    32516 /* IDC_UPARROW */, 32649 /* IDC_HAND */,
};
constexpr int32_t kStockCount = int32_t(std::size(kStockCursors));

int32_t IndexOfStockId(int32_t code) {
  for (int32_t i = 1; i < kStockCount; ++i)
    if (code == kStockCursors[i]) return i;
  return -2;
}

std::vector<uint8_t> WithCode(std::span<const uint8_t> data, int32_t code) {
  std::vector<uint8_t> out(data.begin(), data.end());
  std::memcpy(out.data(), &code, 4);
  return out;
}

HCURSOR LoadStock(int32_t index) {
  if (index == 14) {
    HINSTANCE self = GetModuleHandleW(nullptr);
    if (HCURSOR own = LoadCursorW(self, MAKEINTRESOURCEW(kHandResource))) return own;
  }
  return LoadCursorW(nullptr, MAKEINTRESOURCEW(kStockCursors[index]));
}

// A cursor file: a 6-byte directory header, then 16-byte entries whose
// last two words give the image's size and offset.
HCURSOR CursorFromFile(std::span<const uint8_t> file) {
  if (file.size() < 6 + 16) return nullptr;
  uint32_t size, offset;
  std::memcpy(&size, file.data() + 6 + 8, 4);
  std::memcpy(&offset, file.data() + 6 + 12, 4);
  if (offset < 4 || offset > file.size() || size > file.size() - offset) return nullptr;
  // The image is preceded by its hot spot, as a cursor resource expects.
  std::vector<uint8_t> resource(4 + size);
  std::memcpy(resource.data(), file.data() + 6 + 4, 4);
  std::memcpy(resource.data() + 4, file.data() + offset, size);
  return HCURSOR(CreateIconFromResourceEx(resource.data(), DWORD(resource.size()), FALSE, 0x00030000, 0, 0,
                                          LR_DEFAULTCOLOR));
}

}  // namespace

int32_t PointerCode(std::span<const uint8_t> data) {
  if (data.empty()) return 0;
  if (data.size() < 4) return data[0];
  int32_t code;
  std::memcpy(&code, data.data(), 4);
  return code;
}

std::vector<uint8_t> PointerDataForStore(std::span<const uint8_t> data) {
  int32_t code = PointerCode(data);
  if (data.size() < 4 || (code >= 0 && code < kStockCount)) return {data.begin(), data.end()};
  int32_t index = IndexOfStockId(code);
  return index >= 0 ? WithCode(data, index) : std::vector<uint8_t>(data.begin(), data.end());
}

std::vector<uint8_t> PointerDataForRead(std::span<const uint8_t> data) {
  int32_t code = PointerCode(data);
  if (data.size() < 4 || code < 1 || code >= kStockCount) return {data.begin(), data.end()};
  return WithCode(data, int32_t(kStockCursors[code]));
}

UnitCursor CursorFromPointerData(std::span<const uint8_t> data) {
  int32_t code = PointerCode(data);
  if (code == kCustomCursorCode && data.size() > 4) return {CursorFromFile(data.subspan(4)), true};
  if (code < 0 || code >= kStockCount) code = IndexOfStockId(code);
  if (code <= 0) return {};
  return {LoadStock(code), false};
}

}  // namespace win
