// Checks the unit types' tests share: properties written and read through
// the runtime services, as program code reaches them, and the handler calls
// a unit's events made.
//
// A property value's kind follows the property's declared type: integers,
// picks, logicals and colours are numbers, texts are GBK strings, byte data
// are bytes, fonts a face name and a size in points.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <ostream>
#include <set>
#include <span>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "program_fixture.h"
#include "runtime/heap.h"
#include "runtime/values.h"
#include "windows/font_value.h"
#include "windows/loader.h"
#include "windows/properties.h"
#include "windows/unit_type.h"

namespace units_test {

struct FontData {
  std::string face;
  int32_t size = 0;
  bool operator==(const FontData&) const = default;
};
inline std::ostream& operator<<(std::ostream& out, const FontData& font) {
  return out << "font " << font.face << " " << font.size << "pt";
}

using PropertyData = std::variant<int64_t, std::string, std::vector<uint8_t>, FontData>;

struct PropertyCase {
  const char* name;
  int index;
  PropertyData written;
  PropertyData read;  // what reading the property back gives
};

class UnitProperties {
 public:
  UnitProperties(uint32_t windowId, uint32_t unitId, const win::UnitTypeDescriptor& type)
      : windowId_(windowId), unitId_(unitId), type_(type) {}

  void Write(int index, const PropertyData& value) const {
    if (auto* number = std::get_if<int64_t>(&value)) return WriteWord(index, uint32_t(*number));
    if (auto* text = std::get_if<std::string>(&value)) return WritePointer(index, text->c_str());
    if (auto* bytes = std::get_if<std::vector<uint8_t>>(&value)) {
      rt::HeapPtr<> set(rt::MakeByteSet(bytes->data(), int64_t(bytes->size())));
      return WritePointer(index, set.get());
    }
    const FontData& font = std::get<FontData>(value);
    std::string face = font.face;
    win::FontRecord record{0, 0, 0, 0, 0, font.size, face.data()};
    WritePointer(index, &record);
  }

  PropertyData Read(int index) const {
    switch (win::KindOf(type_.properties[index].type)) {
      case win::PropertyKind::Text: return Text(index);
      case win::PropertyKind::Bytes: {
        rt::HeapPtr<uint8_t> set = Owned<uint8_t>(index);
        if (!set) return std::vector<uint8_t>{};
        const uint8_t* data = rt::ByteSetData(set.get());
        return std::vector<uint8_t>(data, data + rt::ByteSetLength(set.get()));
      }
      case win::PropertyKind::Font:
        return FontData{Text(index, win::FONT_FACE), int32_t(Raw(index, win::FONT_SIZE))};
      default: return Raw(index);
    }
  }

  // Operations 4 and 6 called directly, without the framework's conversion
  // of the value (a logical 2 stays 2, a negative pick stays negative).
  // Operation 4's answer: true asks for re-creation.
  bool SetWord(int index, int32_t word) const {
    auto set = win::FindOperation<win::OP_SET_PROPERTY>(&type_);
    return set(Live(), index - win::kCommonPropertyCount, {uint32_t(word), 0});
  }
  int32_t GetWord(int index) const {
    win::PropertyValue value;
    EXPECT_TRUE(win::FindOperation<win::OP_GET_PROPERTY>(&type_)(Live(), index - win::kCommonPropertyCount, &value));
    return int32_t(value.first);
  }

  // Numbers are read as 32-bit words, sign-extended (a colour 0xFF000000
  // too).
  static PropertyData AsRead(const PropertyData& value) {
    auto* number = std::get_if<int64_t>(&value);
    return number ? PropertyData(int64_t(int32_t(*number))) : value;
  }

  win::UnitObject* Live() const { return win::LiveUnitObject(windowId_, unitId_); }
  HWND Handle() const { return Live()->handle(); }

  // Writes each case's value and reads it back, in order; every property of
  // the type from index 8 up must have a case.
  void ExpectRoundTrips(std::span<const PropertyCase> cases) const {
    std::set<int> covered;
    for (const PropertyCase& c : cases) {
      Write(c.index, c.written);
      EXPECT_EQ(Read(c.index), AsRead(c.read)) << c.name << " (property " << c.index << ")";
      covered.insert(c.index);
    }
    for (int index = win::kCommonPropertyCount; index < type_.propertyCount; ++index)
      EXPECT_TRUE(covered.count(index)) << type_.englishName << " property " << index << " has no case";
  }

 private:
  int64_t Raw(int index, int element = win::FONT_WHOLE) const {
    return win::ReadUnitProperty(windowId_, unitId_, index, element);
  }
  // A text or byte set read is the caller's heap block.
  template <class T>
  rt::HeapPtr<T> Owned(int index, int element = win::FONT_WHOLE) const {
    return rt::HeapPtr<T>(reinterpret_cast<T*>(intptr_t(Raw(index, element))));
  }
  // An empty text reads as null.
  std::string Text(int index, int element = win::FONT_WHOLE) const {
    rt::HeapPtr<char> text = Owned<char>(index, element);
    return text ? text.get() : "";
  }
  void WriteWord(int index, uint32_t word) const {
    win::WriteUnitProperty(windowId_, unitId_, index, win::FONT_WHOLE, word, 0);
  }
  // A pointer travels in both words on 64-bit Windows.
  void WritePointer(int index, const void* pointer) const {
    uint64_t bits = uint64_t(uintptr_t(pointer));
    win::WriteUnitProperty(windowId_, unitId_, index, win::FONT_WHOLE, uint32_t(bits), uint32_t(bits >> 32));
  }

  uint32_t windowId_;
  uint32_t unitId_;
  const win::UnitTypeDescriptor& type_;
};

// Operation 9 of a unit type run over a blob with a visitor that records
// each visit (text, flag) and changes what it visits: a text gets "!"
// appended, a font's face name becomes `newFace`.
struct TextVisits {
  std::vector<std::pair<std::string, int>> seen;
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
using TextVisitList = std::vector<std::pair<std::string, int>>;

// The handler calls so far as (handler, arguments) pairs, which a failed
// comparison prints.
using CallList = std::vector<std::pair<int, std::vector<int64_t>>>;
inline CallList CallsMade() {
  CallList calls;
  for (const testing_support::HandlerCallRecord& call : testing_support::ProgramFixture::Calls())
    calls.push_back({call.handler, call.arguments});
  return calls;
}

}  // namespace units_test
