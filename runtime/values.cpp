#include "runtime/values.h"

#include <cstring>

#include "runtime/heap.h"

namespace rt {

ArgRecord MakeInt(int32_t v) { return {uint32_t(v), 0, TYPE_INT}; }
ArgRecord MakeBool(bool v) { return {v ? 1u : 0u, 0, TYPE_BOOL}; }

ArgRecord MakeInt64(int64_t v) {
  ArgRecord r{0, 0, TYPE_INT64};
  r.setBits64(v);
  return r;
}

ArgRecord MakeFloat(float v) {
  ArgRecord r{0, 0, TYPE_FLOAT};
  std::memcpy(&r.low, &v, 4);
  return r;
}

ArgRecord MakeDouble(double v) {
  ArgRecord r{0, 0, TYPE_DOUBLE};
  int64_t bits;
  std::memcpy(&bits, &v, 8);
  r.setBits64(bits);
  return r;
}

ArgRecord MakeDateTime(double v) {
  ArgRecord r = MakeDouble(v);
  r.tag = TYPE_DATETIME;
  return r;
}

ArgRecord MakeBlock(TypeTag tag, const void* block) {
  ArgRecord r{0, 0, tag};
  r.setPointer(block);
  return r;
}

ArgRecord MakeReference(TypeTag tag, void* variable) { return MakeBlock(tag | kReferenceFlag, variable); }

int32_t ArrayDimensions(const void* array) {
  int32_t d;
  std::memcpy(&d, array, 4);
  return d;
}

int32_t ArrayDimension(const void* array, int index) {
  int32_t size;
  std::memcpy(&size, static_cast<const uint8_t*>(array) + 4 + 4 * index, 4);
  return size;
}

size_t ArrayHeaderSize(const void* array) { return 4 + 4 * size_t(ArrayDimensions(array)); }

size_t ArrayElementCount(const void* array) {
  size_t count = 1;
  for (int i = 0, d = ArrayDimensions(array); i < d; ++i) count *= size_t(ArrayDimension(array, i));
  return count;
}

void* MakeArray(TypeTag elementTag, const int32_t* sizes, int dimensions) {
  size_t count = 1;
  for (int i = 0; i < dimensions; ++i) count *= size_t(sizes[i]);
  size_t header = 4 + 4 * size_t(dimensions);
  size_t bytes = header + count * TypeSize(ElementTag(elementTag));
  auto* block = static_cast<uint8_t*>(AllocMemory(bytes));
  std::memcpy(block, &dimensions, 4);
  std::memcpy(block + 4, sizes, 4 * size_t(dimensions));
  std::memset(block + header, 0, bytes - header);
  return block;
}

char* MakeTextN(const char* bytes, int64_t n) {
  if (n < 1 || !bytes) return nullptr;
  auto* text = static_cast<char*>(AllocMemory(size_t(n) + 1));
  std::memcpy(text, bytes, size_t(n));
  text[n] = '\0';
  return text;
}

char* MakeText(const char* zeroTerminated) {
  return zeroTerminated ? MakeTextN(zeroTerminated, int64_t(std::strlen(zeroTerminated))) : nullptr;
}

void* MakeBlankByteSet(int64_t n) {
  if (n <= 0) return nullptr;
  auto* set = static_cast<ByteSetHeader*>(AllocMemory(sizeof(ByteSetHeader) + size_t(n)));
  set->dimensions = 1;
  set->length = int32_t(n);
  std::memset(set + 1, 0, size_t(n));
  return set;
}

void* MakeByteSet(const void* bytes, int64_t n) {
  if (n <= 0 || !bytes) return nullptr;
  auto* set = static_cast<ByteSetHeader*>(AllocMemory(sizeof(ByteSetHeader) + size_t(n)));
  set->dimensions = 1;
  set->length = int32_t(n);
  std::memcpy(set + 1, bytes, size_t(n));
  return set;
}

void FreeArray(TypeTag tag, void* array) {
  if (!array) return;
  TypeTag element = ElementTag(tag);
  if (element == TYPE_TEXT || element == TYPE_BYTESET) {
    uint8_t* data = ArrayData(array);
    for (size_t i = 0, n = ArrayElementCount(array); i < n; ++i) {
      void* member;
      std::memcpy(&member, data + i * sizeof(void*), sizeof(void*));
      FreeMemory(member);
    }
  }
  FreeMemory(array);
}

void MakeConstantArrayWritable(size_t elementSize, void** arrayVariable) {
  void* array = *arrayVariable;
  if (!array || !IsInConstantBlock(array)) return;
  size_t bytes = ArrayHeaderSize(array) + ArrayElementCount(array) * elementSize;
  void* copy = AllocMemory(bytes);
  std::memcpy(copy, array, bytes);
  *arrayVariable = copy;
}

}  // namespace rt
