// Helpers for the unit types' tests: blobs written byte by byte,
// independently of the units' own writers, a plain top-level window to
// create units on, and a type's blob operations (5 and 9) called directly.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <span>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "windows/unit_type.h"

namespace units_test {

class Blob {
 public:
  Blob& word(uint32_t value) { return append(&value, 4); }
  Blob& half(uint16_t value) { return append(&value, 2); }
  Blob& text(std::string_view text) { return word(uint32_t(text.size())).append(text.data(), text.size()); }
  Blob& bytes(const std::vector<uint8_t>& bytes) {
    return word(uint32_t(bytes.size())).append(bytes.data(), bytes.size());
  }
  operator std::vector<uint8_t>() const { return bytes_; }

 private:
  Blob& append(const void* data, size_t size) {
    auto* at = static_cast<const uint8_t*>(data);
    bytes_.insert(bytes_.end(), at, at + size);
    return *this;
  }
  std::vector<uint8_t> bytes_;
};

// A 60-byte LOGFONTA as the design tool stores it.
inline std::vector<uint8_t> StoredFont(int32_t height, std::string_view face = {}, LONG weight = FW_NORMAL) {
  LOGFONTA font{};
  font.lfHeight = height;
  font.lfWeight = weight;
  font.lfCharSet = GB2312_CHARSET;
  face.copy(font.lfFaceName, LF_FACESIZE - 1);
  auto* at = reinterpret_cast<const uint8_t*>(&font);
  return {at, at + sizeof(font)};
}

// Every blob that ends before the last byte of a valid one is refused.
template <class Read>
void ExpectPrefixesRefused(Read read, const std::vector<uint8_t>& blob) {
  for (size_t n = 1; n < blob.size(); ++n)
    EXPECT_FALSE(read(std::span<const uint8_t>(blob).first(n))) << "a blob cut to " << n << " of " << blob.size()
                                                                 << " bytes was read";
}

// No form uses this window ID, so the runtime's clean-up for a destroyed
// unit (request 2000) finds no record; the unit object deletes itself.
constexpr uint32_t kTestWindowId = 0x7E570002;

class ParentWindow {
 public:
  ParentWindow()
      : handle_(CreateWindowExW(0, L"STATIC", L"units", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0, 640, 480, nullptr,
                                nullptr, GetModuleHandleW(nullptr), nullptr)) {}
  ~ParentWindow() { DestroyWindow(handle_); }
  ParentWindow(const ParentWindow&) = delete;
  ParentWindow& operator=(const ParentWindow&) = delete;

  HWND get() const { return handle_; }

  // A unit made through its type's create operation, as the loader makes it.
  win::UnitObject* Create(void* (*typeInterface)(int), const std::vector<uint8_t>& blob, RECT rect, DWORD style = 0,
                          int controlId = 100, bool designMode = false) const {
    auto create = reinterpret_cast<win::Operation<win::OP_CREATE>>(typeInterface(win::OP_CREATE));
    win::CreateArgs args;
    args.blob = blob;
    args.style = style;
    args.parent = handle_;
    args.controlId = controlId;
    args.left = rect.left;
    args.top = rect.top;
    args.width = rect.right - rect.left;
    args.height = rect.bottom - rect.top;
    args.windowId = kTestWindowId;
    args.unitId = 0x16000001;
    args.designMode = designMode;
    return create(args);
  }

 private:
  HWND handle_;
};

inline std::vector<uint8_t> Serialize(void* (*typeInterface)(int), win::UnitObject* unit) {
  return reinterpret_cast<win::Operation<win::OP_GET_ALL_PROPERTIES>>(typeInterface(win::OP_GET_ALL_PROPERTIES))(unit);
}

// Operation 9 of a unit type run over a blob with a visitor that records
// each visit (text, flag) and changes what it visits: a text gets "!"
// appended, a font's face name becomes `newFace`.
using TextVisitList = std::vector<std::pair<std::string, int>>;
struct TextVisits {
  TextVisitList seen;
  std::optional<std::vector<uint8_t>> blob;  // the blob with the changes
  std::string newFace;
};
inline TextVisits VisitTexts(void* (*typeInterface)(int), const std::vector<uint8_t>& blob, std::string newFace) {
  auto visitTexts = reinterpret_cast<win::Operation<win::OP_TEXT_VISITOR>>(typeInterface(win::OP_TEXT_VISITOR));
  TextVisits visits{{}, std::nullopt, std::move(newFace)};
  if (!visitTexts) {
    ADD_FAILURE() << "the type has no text visitor";
    return visits;
  }
  visits.blob = visitTexts(blob, [](std::string& text, int flag, void* user) {
    auto* visits = static_cast<TextVisits*>(user);
    visits->seen.push_back({text, flag});
    text = flag == 1 ? visits->newFace : text + "!";
  }, &visits);
  return visits;
}

inline std::wstring ClassOf(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return name;
}

inline std::wstring TextOf(HWND window) {
  std::wstring text(size_t(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(size_t(GetWindowTextW(window, text.data(), int(text.size()))));
  return text;
}

inline std::string Describe(const RECT& r) {
  std::ostringstream text;
  text << "(" << r.left << ", " << r.top << ")-(" << r.right << ", " << r.bottom << ")";
  return text.str();
}

// The window's rectangle in its parent's client coordinates, described.
inline std::string PlaceOf(HWND window) {
  RECT rect;
  GetWindowRect(window, &rect);
  MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
  return Describe(rect);
}

inline DWORD StyleOf(HWND window) { return DWORD(GetWindowLongPtrW(window, GWL_STYLE)); }
inline DWORD ExStyleOf(HWND window) { return DWORD(GetWindowLongPtrW(window, GWL_EXSTYLE)); }

}  // namespace units_test

