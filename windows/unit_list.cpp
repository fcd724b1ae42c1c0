#include "windows/unit_list.h"

#include <cstring>

namespace win {
namespace {

uint32_t ReadWord(const uint8_t* p) {
  uint32_t v;
  std::memcpy(&v, p, 4);
  return v;
}

// Walks a record body; every step checks that it stays inside.
class Cursor {
 public:
  explicit Cursor(std::span<const uint8_t> body) : body_(body) {}
  bool ok() const { return ok_; }
  size_t at() const { return at_; }
  bool skip(size_t n) {
    if (!ok_ || n > body_.size() - at_) return ok_ = false;
    at_ += n;
    return true;
  }
  uint32_t word() {
    size_t from = at_;
    return skip(4) ? ReadWord(body_.data() + from) : 0;
  }
  bool zText() {
    if (!ok_) return false;
    auto* zero = static_cast<const uint8_t*>(std::memchr(body_.data() + at_, 0, body_.size() - at_));
    if (!zero) return ok_ = false;
    at_ = size_t(zero - body_.data()) + 1;
    return true;
  }

 private:
  std::span<const uint8_t> body_;
  size_t at_ = 0;
  bool ok_ = true;
};

constexpr size_t kNameOffset = 24;

}  // namespace

std::optional<UnitRecordLayout> ParseUnitRecord(std::span<const uint8_t> body) {
  Cursor c(body);
  UnitRecordLayout l{};
  c.skip(kNameOffset);
  c.zText();
  c.zText();
  l.objectSlot = c.at();
  c.skip(28);
  uint32_t children = c.word();
  l.childIds = c.at();
  if (children > body.size() / 4) return std::nullopt;
  c.skip(size_t(children) * 4);
  l.pointerLength = c.at();
  c.skip(c.word());
  l.tag = c.at();
  c.zText();
  c.skip(4);
  l.flags = c.at();
  c.skip(4);
  l.tabOrder = c.at();
  c.skip(4);
  l.eventCount = c.at();
  uint32_t events = c.word();
  l.bindings = c.at();
  if (events > body.size() / 8) return std::nullopt;
  c.skip(size_t(events) * 8);
  c.skip(20);
  l.blob = c.at();
  l.end = body.size();
  return c.ok() ? std::optional(l) : std::nullopt;
}

std::optional<MenuRecordLayout> ParseMenuRecord(std::span<const uint8_t> body) {
  Cursor c(body);
  MenuRecordLayout l{};
  c.skip(kNameOffset);
  c.zText();
  c.zText();
  l.shortcut = c.at();
  c.skip(4);
  l.level = c.at();
  c.skip(4);
  l.flags = c.at();
  c.skip(4);
  l.caption = c.at();
  c.zText();
  l.handler = c.at();
  c.skip(4 + 16);
  l.end = c.at();
  return c.ok() ? std::optional(l) : std::nullopt;
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
