// Reading and writing property blobs: little-endian words and half-words,
// counted byte runs and texts, zero-terminated texts and counted lists.
//
// The reader never reads past its data. A read that does not fit marks the
// reader failed; every later read then yields zero or empty, so a parser reads
// its fields straight through and checks ok() once at the end.
//
// The order of each blob's fields is not written here but in the generated
// windows/blob_layouts.h (from scripts/blob_layouts.py, which the form
// compiler reads too): a layout L reads with L::Read(reader, [version,]
// record) and writes with L::Write(writer, record), through the field
// overloads below that read into a record's member.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace win {

class BlobReader {
 public:
  explicit BlobReader(std::span<const uint8_t> data) : data_(data) {}
  bool ok() const { return ok_; }
  bool atEnd() const { return at_ >= data_.size(); }

  uint32_t word() {
    uint32_t v = 0;
    if (take(4)) std::memcpy(&v, data_.data() + at_ - 4, 4);
    return v;
  }
  uint16_t half() {
    uint16_t v = 0;
    if (take(2)) std::memcpy(&v, data_.data() + at_ - 2, 2);
    return v;
  }
  std::vector<uint8_t> bytes(size_t n) {
    if (!take(n)) return {};
    return {data_.begin() + ptrdiff_t(at_ - n), data_.begin() + ptrdiff_t(at_)};
  }
  // A 32-bit byte count, then that many bytes.
  std::vector<uint8_t> countedBytes() { return bytes(word()); }
  std::string countedText() {
    auto bytes = countedBytes();
    return {bytes.begin(), bytes.end()};
  }
  // The text without its terminator; a text that runs to the end fails.
  std::string terminatedText() {
    std::span<const uint8_t> rest = ok_ ? data_.subspan(at_) : std::span<const uint8_t>();
    auto terminator = std::find(rest.begin(), rest.end(), uint8_t(0));
    if (terminator == rest.end()) {
      ok_ = false;
      return {};
    }
    std::string text(rest.begin(), terminator);
    at_ += text.size() + 1;
    return text;
  }
  void fail() { ok_ = false; }

  // A field read into a record's member: the member's type converts the word.
  template <class T>
  void word(T& field) {
    field = T(word());
  }
  void half(uint16_t& field) { field = half(); }
  void countedBytes(std::vector<uint8_t>& field) { field = countedBytes(); }
  void countedText(std::string& field) { field = countedText(); }
  void terminatedText(std::string& field) { field = terminatedText(); }

 private:
  bool take(size_t n) {
    if (!ok_ || n > data_.size() - at_) return ok_ = false;
    at_ += n;
    return true;
  }
  std::span<const uint8_t> data_;
  size_t at_ = 0;
  bool ok_ = true;
};

class BlobWriter {
 public:
  BlobWriter& word(uint32_t v) {
    for (int shift = 0; shift < 32; shift += 8) bytes_.push_back(uint8_t(v >> shift));
    return *this;
  }
  BlobWriter& half(uint16_t v) {
    bytes_.push_back(uint8_t(v));
    bytes_.push_back(uint8_t(v >> 8));
    return *this;
  }
  BlobWriter& countedBytes(std::span<const uint8_t> data) {
    word(uint32_t(data.size()));
    bytes_.insert(bytes_.end(), data.begin(), data.end());
    return *this;
  }
  BlobWriter& countedText(const std::string& text) {
    return countedBytes({reinterpret_cast<const uint8_t*>(text.data()), text.size()});
  }
  BlobWriter& terminatedText(std::string_view text) {
    bytes_.insert(bytes_.end(), text.begin(), text.end());
    bytes_.push_back(0);
    return *this;
  }
  std::vector<uint8_t> take() { return std::move(bytes_); }

 private:
  std::vector<uint8_t> bytes_;
};

// ---- Versioned blobs -------------------------------------------------------------

// A blob of layout L: its version word, then its fields. An empty blob gives
// the defaults; a version newer than L's or a blob that ends inside its
// fields is refused.
template <class L, class Record>
std::optional<Record> ReadVersionedBlob(std::span<const uint8_t> blob) {
  Record record{};
  if (blob.empty()) return record;
  BlobReader in(blob);
  uint32_t version = in.word();
  if (!in.ok() || version > L::kVersion) return std::nullopt;
  L::Read(in, version, record);
  if (!in.ok()) return std::nullopt;
  return record;
}

template <class L, class Record>
std::vector<uint8_t> WriteVersionedBlob(const Record& record) {
  BlobWriter out;
  out.word(L::kVersion);
  L::Write(out, record);
  return out.take();
}

// ---- Lists -----------------------------------------------------------------------

// List data: nothing (no list; null), or the entry count and the entries of
// layout L. A count that promises more entries than the data holds makes the
// data corrupt, and corrupt data leaves `list` as it was.
template <class L, class Entry>
bool ReadListData(std::span<const uint8_t> data, std::optional<std::vector<Entry>>& list) {
  if (data.empty()) {
    list.reset();
    return true;
  }
  BlobReader in(data);
  std::vector<Entry> entries;
  for (uint32_t count = in.word(); in.ok() && entries.size() < count;) {
    Entry entry{};
    L::Read(in, entry);
    if (in.ok()) entries.push_back(std::move(entry));
  }
  if (!in.ok()) return false;
  list = std::move(entries);
  return true;
}

template <class L, class Entry>
std::vector<uint8_t> ListData(const std::optional<std::vector<Entry>>& list) {
  if (!list) return {};
  BlobWriter out;
  out.word(uint32_t(list->size()));
  for (const Entry& entry : *list) L::Write(out, entry);
  return out.take();
}

// A list field: its data as counted bytes; corrupt data fails the reader.
template <class L, class Entry>
void ReadCountedList(BlobReader& in, std::optional<std::vector<Entry>>& list) {
  if (!ReadListData<L>(in.countedBytes(), list)) in.fail();
}

template <class L, class Entry>
void WriteCountedList(BlobWriter& out, const std::optional<std::vector<Entry>>& list) {
  out.countedBytes(ListData<L>(list));
}

}  // namespace win
