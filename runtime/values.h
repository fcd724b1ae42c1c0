// Values, argument records and heap blocks.
//
// Conventions used throughout the runtime, written once here:
// - Every value that crosses a boundary is an ArgRecord: two value words and a
//   32-bit type tag, 12 bytes. 1-, 2- and 4-byte values sit in the low word,
//   8-byte values use both words, low word first.
// - Texts, byte sets and arrays are single heap blocks addressed by one
//   pointer. On 32-bit Windows the pointer fills the low word and the high
//   word is 0; on 64-bit Windows the pointer fills both value words (low half
//   first), so the record keeps its 12-byte layout on both.
// - A text is a zero-terminated GBK byte string; null and "" both mean empty,
//   and no routine allocates a text of length 0.
// - Whatever a constructor or conversion returns belongs to the caller, who
//   frees it with FreeMemory (which ignores null and constant-block pointers).
// - Multi-dimensional arrays store the last index fastest (row-major).
// - An argument passed by reference (a variable the callee may write) has
//   kReferenceFlag set in its tag beside the variable's own type, and the
//   variable's address in its value words, laid out like a block pointer.
//   The flag keeps a variable apart from a value of the same type; code that
//   compares tags clears it first (ReferencedTag).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace rt {

using TypeTag = uint32_t;

constexpr TypeTag TYPE_NONE = 0;
constexpr TypeTag TYPE_BYTE = 0x80000101;
constexpr TypeTag TYPE_SHORT = 0x80000201;
constexpr TypeTag TYPE_INT = 0x80000301;
constexpr TypeTag TYPE_INT64 = 0x80000401;
constexpr TypeTag TYPE_FLOAT = 0x80000501;
constexpr TypeTag TYPE_DOUBLE = 0x80000601;
constexpr TypeTag TYPE_BOOL = 0x80000002;
constexpr TypeTag TYPE_DATETIME = 0x80000003;
constexpr TypeTag TYPE_TEXT = 0x80000004;
constexpr TypeTag TYPE_BYTESET = 0x80000005;
constexpr TypeTag TYPE_SUBPTR = 0x80000006;
// An 8-byte tag the event dispatcher passes through; nothing here produces it.
constexpr TypeTag TYPE_WIDE8 = 0x80000008;

constexpr TypeTag kArrayFlag = 0x20000000;
constexpr TypeTag kArrayFlagMask = 0xDFFFFFFF;

constexpr TypeTag ElementTag(TypeTag tag) { return tag & kArrayFlagMask; }
constexpr bool IsArrayTag(TypeTag tag) { return (tag & kArrayFlag) != 0; }

constexpr TypeTag kReferenceFlag = 0x10000000;
constexpr TypeTag ReferencedTag(TypeTag tag) { return tag & ~kReferenceFlag; }
constexpr bool IsReferenceTag(TypeTag tag) { return (tag & kReferenceFlag) != 0; }

enum class TagClass { None, Basic, Reserved, Library };

constexpr TagClass ClassifyTag(TypeTag tag) {
  if (tag == 0) return TagClass::None;
  if (tag >= 0x80000000 && tag <= 0xBFFFFFFF) return TagClass::Basic;
  if (tag >= 0x40000000 && tag <= 0x7FFFFFFF) return TagClass::Reserved;
  return TagClass::Library;
}

constexpr bool IsNumericTag(TypeTag tag) {
  switch (tag) {
    case TYPE_BYTE: case TYPE_SHORT: case TYPE_INT:
    case TYPE_INT64: case TYPE_FLOAT: case TYPE_DOUBLE:
      return true;
    default:
      return false;
  }
}

// Size of a value of this type in a variable or array element; 0 for any
// type that has no fixed size. Block pointers (text, byte set) and subroutine
// pointers take a pointer's width, which is 4 on the 32-bit target.
constexpr size_t TypeSize(TypeTag tag) {
  switch (tag) {
    case TYPE_BYTE: return 1;
    case TYPE_SHORT: return 2;
    case TYPE_INT: case TYPE_FLOAT: case TYPE_BOOL: return 4;
    case TYPE_INT64: case TYPE_DOUBLE: case TYPE_DATETIME: case TYPE_WIDE8: return 8;
    case TYPE_TEXT: case TYPE_BYTESET: case TYPE_SUBPTR: return sizeof(void*);
    default: return 0;
  }
}

struct ArgRecord {
  uint32_t low = 0;
  uint32_t high = 0;
  TypeTag tag = TYPE_NONE;

  bool omitted() const { return tag == TYPE_NONE; }

  void* pointer() const {
    uint64_t bits = low;
    if constexpr (sizeof(void*) == 8) bits |= uint64_t(high) << 32;
    return reinterpret_cast<void*>(static_cast<uintptr_t>(bits));
  }
  void setPointer(const void* p) {
    uint64_t bits = reinterpret_cast<uintptr_t>(p);
    low = uint32_t(bits);
    high = sizeof(void*) == 8 ? uint32_t(bits >> 32) : 0;
  }
  int64_t bits64() const { return int64_t(uint64_t(low) | uint64_t(high) << 32); }
  void setBits64(int64_t v) {
    low = uint32_t(uint64_t(v));
    high = uint32_t(uint64_t(v) >> 32);
  }
  double asDouble() const {
    double d;
    int64_t b = bits64();
    std::memcpy(&d, &b, 8);
    return d;
  }
  float asFloat() const {
    float f;
    std::memcpy(&f, &low, 4);
    return f;
  }
  const char* text() const { return static_cast<const char*>(pointer()); }
  // The variable of a by-reference argument; null for a value.
  void* variable() const { return IsReferenceTag(tag) ? pointer() : nullptr; }
};
static_assert(sizeof(ArgRecord) == 12);
static_assert(offsetof(ArgRecord, low) == 0);
static_assert(offsetof(ArgRecord, high) == 4);
static_assert(offsetof(ArgRecord, tag) == 8);

ArgRecord MakeInt(int32_t v);
ArgRecord MakeBool(bool v);
ArgRecord MakeInt64(int64_t v);
ArgRecord MakeFloat(float v);
ArgRecord MakeDouble(double v);
ArgRecord MakeDateTime(double v);
ArgRecord MakeBlock(TypeTag tag, const void* block);
// A by-reference argument: `variable` holds a value of type `tag`.
ArgRecord MakeReference(TypeTag tag, void* variable);

// Events raised through the runtime carry their arguments in 16-byte slots.
struct EventArgSlot {
  uint32_t low = 0;
  uint32_t high = 0;
  TypeTag tag = TYPE_NONE;
  uint32_t flags = 0;  // bit 0: low word is a variable's address; bit 1: 8 bytes wide
};
static_assert(sizeof(EventArgSlot) == 16);

// Byte set: {1, n, n bytes}. The same layout as a one-dimensional byte array.
struct ByteSetHeader {
  int32_t dimensions;
  int32_t length;
};
static_assert(sizeof(ByteSetHeader) == 8);

inline const uint8_t* ByteSetData(const void* set) {
  return static_cast<const uint8_t*>(set) + sizeof(ByteSetHeader);
}
inline int32_t ByteSetLength(const void* set) {
  return set ? static_cast<const ByteSetHeader*>(set)->length : 0;
}

// Array: {d, size[0..d-1], elements}. Helpers read the header with memcpy,
// so element areas need no alignment.
int32_t ArrayDimensions(const void* array);
int32_t ArrayDimension(const void* array, int index);
size_t ArrayElementCount(const void* array);
size_t ArrayHeaderSize(const void* array);
inline uint8_t* ArrayData(void* array) { return static_cast<uint8_t*>(array) + ArrayHeaderSize(array); }
inline const uint8_t* ArrayData(const void* array) {
  return static_cast<const uint8_t*>(array) + ArrayHeaderSize(array);
}
// New array block of the given dimensions, elements zeroed.
void* MakeArray(TypeTag elementTag, const int32_t* sizes, int dimensions);

// Value constructors; each result is a new heap block or null.
char* MakeText(const char* zeroTerminated);
char* MakeTextN(const char* bytes, int64_t n);
void* MakeByteSet(const void* bytes, int64_t n);
void* MakeBlankByteSet(int64_t n);

// Frees a whole array: its text or byte-set elements first, then the block.
void FreeArray(TypeTag tag, void* array);

// Gives an array variable a heap copy of its block when it still points into
// the constant block.
void MakeConstantArrayWritable(size_t elementSize, void** arrayVariable);

}  // namespace rt
