#include "windows/window_properties.h"

#include "windows/blob_layouts.h"

namespace win {

std::optional<WindowProperties> ReadWindowBlob(std::span<const uint8_t> blob) {
  return ReadVersionedBlob<layout::Window, WindowProperties>(blob);
}

std::vector<uint8_t> WriteWindowBlob(const WindowProperties& p) { return WriteVersionedBlob<layout::Window>(p); }

}  // namespace win
