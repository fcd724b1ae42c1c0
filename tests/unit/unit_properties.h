// Unit properties in tests: read and written through the framework as
// program code reaches them, or through a type's operations 4 and 6
// directly; and every unit type the program's libraries register.
//
// A property value's kind follows the property's declared type: integers,
// picks, logicals and colours are numbers, texts are GBK strings, byte data
// and mouse pointers are bytes, fonts the whole font record. Every text,
// byte set and font record the framework hands out is freed here.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <span>
#include <string>
#include <variant>
#include <vector>

#include "program_fixture.h"
#include "runtime/heap.h"
#include "runtime/library.h"
#include "runtime/values.h"
#include "windows/font_value.h"
#include "windows/loader.h"
#include "windows/properties.h"
#include "windows/unit_type.h"

namespace units_test {

struct FontData {
  std::string face;
  int32_t size = 0;  // in points
  bool bold = false, italic = false, strikeout = false, underline = false;
  int32_t angle = 0;
  bool operator==(const FontData&) const = default;
};
inline std::ostream& operator<<(std::ostream& out, const FontData& font) {
  out << "font " << font.face << " " << font.size << "pt, angle " << font.angle;
  return out << (font.bold ? " bold" : "") << (font.italic ? " italic" : "") << (font.strikeout ? " strikeout" : "")
             << (font.underline ? " underline" : "");
}

using PropertyData = std::variant<int64_t, std::string, std::vector<uint8_t>, FontData>;

// A value written to a property and what reading it back gives.
struct PropertyCase {
  const char* name;
  int index;
  PropertyData written;
  PropertyData read;
};

class UnitProperties {
 public:
  UnitProperties(uint32_t windowId, uint32_t unitId, const win::UnitTypeDescriptor& type)
      : windowId_(windowId), unitId_(unitId), type_(type) {}

  const win::UnitTypeDescriptor& type() const { return type_; }

  // A number fills both words (the high one matters to doubles only); the
  // number 0 written to a font is the null font record ("no font"). One
  // element of a font takes a number, or a text for the face name.
  void Write(int index, const PropertyData& value, int element = win::FONT_WHOLE) const {
    if (auto* number = std::get_if<int64_t>(&value)) return WriteWords(index, element, uint64_t(*number));
    if (auto* text = std::get_if<std::string>(&value)) return WritePointer(index, element, text->c_str());
    if (auto* bytes = std::get_if<std::vector<uint8_t>>(&value)) {
      rt::HeapPtr<> set(rt::MakeByteSet(bytes->data(), int64_t(bytes->size())));
      return WritePointer(index, element, set.get());
    }
    const FontData& font = std::get<FontData>(value);
    std::string face = font.face;
    win::FontRecord record{font.angle, font.bold, font.italic, font.strikeout, font.underline, font.size, face.data()};
    WritePointer(index, element, &record);
  }

  PropertyData Read(int index) const {
    switch (win::KindOf(type_.properties[index].type)) {
      case win::PropertyKind::Text: return ReadText(index);
      case win::PropertyKind::Bytes: case win::PropertyKind::MousePointer: return ReadBytes(index);
      case win::PropertyKind::Font: return ReadFont(index);
      default: return ReadNumber(index);
    }
  }
  int64_t ReadNumber(int index, int element = win::FONT_WHOLE) const {
    return win::ReadUnitProperty(windowId_, unitId_, index, element);
  }
  // An empty text may read as null.
  std::string ReadText(int index, int element = win::FONT_WHOLE) const {
    rt::HeapPtr<char> text = Owned<char>(index, element);
    return text ? text.get() : "";
  }
  std::vector<uint8_t> ReadBytes(int index) const {
    rt::HeapPtr<> set = Owned<void>(index);
    const uint8_t* data = set ? rt::ByteSetData(set.get()) : nullptr;
    return data ? std::vector<uint8_t>(data, data + rt::ByteSetLength(set.get())) : std::vector<uint8_t>{};
  }
  FontData ReadFont(int index) const {
    rt::HeapPtr<win::FontRecord> record = Owned<win::FontRecord>(index);
    if (!record) return {};
    rt::HeapPtr<char> face(record->faceName);
    return {face ? face.get() : "", record->size, record->bold != 0, record->italic != 0,
            record->strikeout != 0, record->underline != 0, record->angle};
  }

  // Writes each case's value and expects its read, in order. Numbers read as
  // 32-bit words, sign-extended (a colour 0xFF000000 too).
  void ExpectReads(std::span<const PropertyCase> cases) const {
    for (const PropertyCase& c : cases) {
      Write(c.index, c.written);
      auto* number = std::get_if<int64_t>(&c.read);
      PropertyData expected = number ? PropertyData(int64_t(int32_t(*number))) : c.read;
      EXPECT_EQ(Read(c.index), expected) << c.name << " (" << type_.englishName << " property " << c.index << ")";
    }
  }

  // Operations 4 and 6 called directly, without the framework's conversion
  // of the value (a logical 2 stays 2, a negative pick stays negative).
  // Operation 4's answer: true asks for re-creation.
  bool SetWord(int index, int32_t word) const {
    auto set = win::FindOperation<win::OP_SET_PROPERTY>(&type_);
    return set(Live(), index - win::kCommonPropertyCount, {uint32_t(word), 0});
  }
  win::PropertyValue Get(int index) const {
    win::PropertyValue value;
    auto get = win::FindOperation<win::OP_GET_PROPERTY>(&type_);
    EXPECT_TRUE(get(Live(), index - win::kCommonPropertyCount, &value)) << type_.englishName << " property " << index;
    return value;
  }
  int32_t GetWord(int index) const { return int32_t(Get(index).first); }

  win::UnitObject* Live() const { return win::LiveUnitObject(windowId_, unitId_); }
  HWND Handle() const { return Live()->handle(); }

 private:
  template <class T>
  rt::HeapPtr<T> Owned(int index, int element = win::FONT_WHOLE) const {
    return rt::HeapPtr<T>(reinterpret_cast<T*>(intptr_t(ReadNumber(index, element))));
  }
  void WriteWords(int index, int element, uint64_t bits) const {
    win::WriteUnitProperty(windowId_, unitId_, index, element, uint32_t(bits), uint32_t(bits >> 32));
  }
  // A pointer fills both words on 64-bit Windows.
  void WritePointer(int index, int element, const void* pointer) const {
    WriteWords(index, element, uint64_t(uintptr_t(pointer)));
  }

  uint32_t windowId_;
  uint32_t unitId_;
  const win::UnitTypeDescriptor& type_;
};

// A data type of the program's libraries that makes units, with the code a
// unit record names it by.
struct RegisteredType {
  uint32_t code;
  const win::UnitTypeDescriptor* type;
};

// Every unit type the seven libraries declare, in library and type order.
inline std::vector<RegisteredType> AllUnitTypes() {
  std::vector<RegisteredType> types;
  std::span<const rt::LibraryDescriptor* const> libraries = testing_support::ProgramLibraries();
  for (size_t number = 0; number < libraries.size(); ++number)
    for (int32_t i = 0; i < libraries[number]->dataTypeCount; ++i)
      if (libraries[number]->dataTypes[i].interfaceFunction)
        types.push_back({rt::TypeCode(int(number), i + 1), &libraries[number]->dataTypes[i]});
  return types;
}

}  // namespace units_test
