// Builds unit lists byte by byte for tests, in the form data's layout.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "windows/unit_list.h"

namespace testing_support {

class Bytes {
 public:
  Bytes& word(uint32_t v) {
    for (int i = 0; i < 4; ++i) data.push_back(uint8_t(v >> (8 * i)));
    return *this;
  }
  Bytes& text(const std::string& s) {
    data.insert(data.end(), s.begin(), s.end());
    data.push_back(0);
    return *this;
  }
  Bytes& zeros(size_t n) {
    data.insert(data.end(), n, 0);
    return *this;
  }
  std::vector<uint8_t> data;
};

struct UnitSpec {
  uint32_t id;
  uint32_t type;
  uint32_t share = 0;
  std::vector<std::pair<int32_t, uint32_t>> events;  // event number, handler word
  std::string tag;
  std::vector<uint8_t> blob;
  int32_t left = 1, top = 2, width = 30, height = 40;
  uint32_t flags = 1;  // visible
  uint32_t tabOrder = 0;
};

inline std::vector<uint8_t> UnitRecord(const UnitSpec& u) {
  Bytes b;
  b.word(u.type).word(u.share).zeros(16).text("").text("");
  b.word(0).word(uint32_t(u.left)).word(uint32_t(u.top)).word(uint32_t(u.width)).word(uint32_t(u.height));
  b.word(0).word(0).word(0);  // cursor slot, parent, children
  b.word(4).word(0);          // default mouse pointer
  b.text(u.tag).word(0).word(u.flags).word(u.tabOrder).word(uint32_t(u.events.size()));
  for (auto [event, handler] : u.events) b.word(uint32_t(event)).word(handler);
  b.zeros(20);
  b.data.insert(b.data.end(), u.blob.begin(), u.blob.end());
  return b.data;
}

struct MenuSpec {
  uint32_t id;
  uint32_t level;
  std::string caption;
  uint32_t flags = 0;
  uint32_t shortcut = 0;
  uint32_t handler = 0xFFFFFFFF;
};

inline std::vector<uint8_t> MenuRecord(const MenuSpec& m) {
  Bytes b;
  b.word(0x00010003).zeros(20).text("").text("").word(m.shortcut).word(m.level).word(m.flags);
  b.text(m.caption).word(m.handler).zeros(16);
  return b.data;
}

// IDs and record bodies in list order.
inline std::vector<uint8_t> UnitListBytes(const std::vector<std::pair<uint32_t, std::vector<uint8_t>>>& records) {
  Bytes ids, offsets, bodies;
  for (auto& [id, body] : records) {
    ids.word(id);
    offsets.word(uint32_t(bodies.data.size()));
    bodies.word(uint32_t(body.size()));
    bodies.data.insert(bodies.data.end(), body.begin(), body.end());
  }
  std::vector<uint8_t> all = ids.data;
  all.insert(all.end(), offsets.data.begin(), offsets.data.end());
  all.insert(all.end(), bodies.data.begin(), bodies.data.end());
  return all;
}

inline win::UnitList MakeUnitList(const std::vector<std::pair<uint32_t, std::vector<uint8_t>>>& records) {
  return *win::UnitList::FromBytes(UnitListBytes(records), uint32_t(records.size()));
}

}  // namespace testing_support
