#include "windows/unit_list.h"

#include <algorithm>
#include <cstring>

namespace win {
namespace {

uint32_t ReadWord(const uint8_t* p) {
  uint32_t v;
  std::memcpy(&v, p, 4);
  return v;
}

// Walks a record body for where its fields start (layout::X::Walk). Every
// step checks that it stays inside; a step that would not fails the walk.
class OffsetWalk {
 public:
  explicit OffsetWalk(std::span<const uint8_t> body) : body_(body) {}
  bool ok() const { return ok_; }

  void word(size_t& at) {
    at = at_;
    skip(4);
  }
  template <size_t N>
  void words(size_t (&at)[N]) {
    for (size_t& one : at) word(one);
  }
  void reserved(size_t n) { skip(n); }
  void terminatedText(size_t& at) {
    at = at_;
    std::span<const uint8_t> rest = body_.subspan(at_);
    auto zero = std::find(rest.begin(), rest.end(), uint8_t(0));
    skip(size_t(zero - rest.begin()) + 1);  // past the end when there is no zero
  }
  void countedBytes(size_t& count, size_t& bytes) { countedEntries(count, bytes, 1); }
  void countedWords(size_t& count, size_t& entries, size_t wordsPerEntry) {
    countedEntries(count, entries, 4 * wordsPerEntry);
  }
  void rest(size_t& at) {
    at = at_;
    skip(body_.size() - at_);
  }

 private:
  void skip(size_t n) {
    if (!ok_ || n > body_.size() - at_) ok_ = false;
    else at_ += n;
  }
  // The word at the walk's place, stepped over; 0 when there is none.
  uint32_t nextWord() {
    uint32_t value = ok_ && body_.size() - at_ >= 4 ? ReadWord(body_.data() + at_) : 0;
    skip(4);
    return value;
  }
  // A count word, then that many entries of `entryBytes` each. The count is
  // checked before it is multiplied, which could overflow a 32-bit size_t.
  void countedEntries(size_t& count, size_t& entries, size_t entryBytes) {
    count = at_;
    uint32_t n = nextWord();
    entries = at_;
    if (n > (body_.size() - at_) / entryBytes) ok_ = false;
    skip(size_t(n) * entryBytes);
  }

  std::span<const uint8_t> body_;
  size_t at_ = 0;
  bool ok_ = true;
};

template <class Layout, class Offsets>
std::optional<Offsets> ParseRecord(std::span<const uint8_t> body) {
  OffsetWalk walk(body);
  Offsets offsets{};
  Layout::Walk(walk, offsets);
  return walk.ok() ? std::optional(offsets) : std::nullopt;
}

}  // namespace

std::optional<UnitRecordLayout> ParseUnitRecord(std::span<const uint8_t> body) {
  return ParseRecord<layout::UnitRecord, UnitRecordLayout>(body);
}

std::optional<MenuRecordLayout> ParseMenuRecord(std::span<const uint8_t> body) {
  return ParseRecord<layout::MenuRecord, MenuRecordLayout>(body);
}

std::optional<UnitList> UnitList::FromBytes(std::vector<uint8_t> bytes, uint32_t recordCount) {
  if (recordCount == 0 || recordCount > bytes.size() / 8) return std::nullopt;
  UnitList list;
  list.bytes_ = std::move(bytes);
  list.count_ = recordCount;
  size_t recordsStart = size_t(recordCount) * 8;
  for (uint32_t i = 0; i < recordCount; ++i) {
    size_t start = list.recordStart(i);
    if (start < recordsStart || start > list.bytes_.size() - 4) return std::nullopt;
    if (ReadWord(list.bytes_.data() + start) > list.bytes_.size() - start - 4) return std::nullopt;
    bool parsed = list.isMenuItem(i) ? ParseMenuRecord(list.body(i)).has_value()
                                     : ParseUnitRecord(list.body(i)).has_value();
    if (!parsed) return std::nullopt;
  }
  return list;
}

uint32_t UnitList::idAt(uint32_t index) const { return ReadWord(bytes_.data() + 4 * size_t(index)); }

std::optional<uint32_t> UnitList::indexOf(uint32_t unitId) const {
  if (unitId == 0) return 0;
  if (!IsSearchableId(unitId)) return std::nullopt;
  for (uint32_t i = 0; i < count_; ++i)
    if (idAt(i) == unitId) return i;
  return std::nullopt;
}

size_t UnitList::recordStart(uint32_t index) const {
  size_t offsetsEnd = size_t(count_) * 8;
  return offsetsEnd + ReadWord(bytes_.data() + 4 * (size_t(count_) + index));
}

void UnitList::setRecordOffset(uint32_t index, uint32_t offset) {
  std::memcpy(bytes_.data() + 4 * (size_t(count_) + index), &offset, 4);
}

std::span<uint8_t> UnitList::body(uint32_t index) {
  size_t start = recordStart(index);
  return {bytes_.data() + start + 4, ReadWord(bytes_.data() + start)};
}

std::span<const uint8_t> UnitList::body(uint32_t index) const {
  size_t start = recordStart(index);
  return {bytes_.data() + start + 4, ReadWord(bytes_.data() + start)};
}

// Records were checked when the list was built, and patches keep them valid.
UnitRecordLayout UnitList::unitLayout(uint32_t index) const { return *ParseUnitRecord(body(index)); }
MenuRecordLayout UnitList::menuLayout(uint32_t index) const { return *ParseMenuRecord(body(index)); }

uint32_t UnitList::word(uint32_t index, size_t offset) const { return ReadWord(body(index).data() + offset); }

void UnitList::setWord(uint32_t index, size_t offset, uint32_t value) {
  std::memcpy(body(index).data() + offset, &value, 4);
}

std::string_view UnitList::zText(uint32_t index, size_t offset) const {
  return reinterpret_cast<const char*>(body(index).data() + offset);
}

std::span<const uint8_t> UnitList::blob(uint32_t index) const {
  auto b = body(index);
  return b.subspan(unitLayout(index).blob);
}

void UnitList::replace(uint32_t index, size_t offset, size_t length, std::span<const uint8_t> bytes) {
  size_t start = recordStart(index);
  size_t at = start + 4 + offset;
  auto delta = int64_t(bytes.size()) - int64_t(length);
  bytes_.erase(bytes_.begin() + ptrdiff_t(at), bytes_.begin() + ptrdiff_t(at + length));
  bytes_.insert(bytes_.begin() + ptrdiff_t(at), bytes.begin(), bytes.end());
  uint32_t newLength = uint32_t(int64_t(ReadWord(bytes_.data() + start)) + delta);
  std::memcpy(bytes_.data() + start, &newLength, 4);
  for (uint32_t i = 0; i < count_; ++i) {
    uint32_t other = ReadWord(bytes_.data() + 4 * (size_t(count_) + i));
    if (size_t(count_) * 8 + other > start) setRecordOffset(i, uint32_t(int64_t(other) + delta));
  }
}

}  // namespace win
