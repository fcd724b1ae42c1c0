// Reading and writing property blobs: little-endian words and counted texts,
// never past the end of the data.
#pragma once

#include <cstdint>
#include <cstring>
#include <span>
#include <string>
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
  std::vector<uint8_t> countedBytes() {
    uint32_t n = word();
    if (!take(n)) return {};
    return {data_.begin() + ptrdiff_t(at_ - n), data_.begin() + ptrdiff_t(at_)};
  }
  std::string countedText() {
    auto bytes = countedBytes();
    return {bytes.begin(), bytes.end()};
  }

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
    uint8_t b[4];
    std::memcpy(b, &v, 4);
    bytes_.insert(bytes_.end(), b, b + 4);
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
  std::vector<uint8_t> take() { return std::move(bytes_); }

 private:
  std::vector<uint8_t> bytes_;
};

}  // namespace win
