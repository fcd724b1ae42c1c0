// Reading the embedded form data into window templates.
#include "windows/blob.h"
#include "windows/registry.h"

namespace win {
namespace {

constexpr uint32_t kNoHandler = 0xFFFFFFFF;

bool Relocate(UnitList& units, uint32_t index, size_t offset, uint32_t handlerCount) {
  uint32_t value = units.word(index, offset);
  if (value == kNoHandler) value = 0;
  else if (value < handlerCount) value += 1;
  else return false;
  units.setWord(index, offset, value);
  return true;
}

bool RelocateHandlers(UnitList& units, uint32_t handlerCount) {
  for (uint32_t i = 0; i < units.count(); ++i) {
    if (units.isMenuItem(i)) {
      if (!Relocate(units, i, units.menuLayout(i).handler, handlerCount)) return false;
      continue;
    }
    UnitRecordLayout layout = units.unitLayout(i);
    uint32_t count = units.word(i, layout.eventCount);
    for (uint32_t e = 0; e < count; ++e)
      if (!Relocate(units, i, layout.bindings + 8 * e + 4, handlerCount)) return false;
  }
  return true;
}

// A template as stored: the fields the template keeps, then its unit list,
// which becomes the template's UnitList once it is checked.
struct StoredTemplate : WindowTemplate {
  uint32_t recordCount = 0;
  std::vector<uint8_t> unitList;
};

std::optional<WindowTemplate> ReadTemplate(BlobReader& in, uint32_t windowId, uint32_t handlerCount) {
  StoredTemplate stored;
  stored.windowId = windowId;
  layout::TemplateHeader::Walk(in, stored);
  if (!in.ok()) return std::nullopt;
  auto units = UnitList::FromBytes(std::move(stored.unitList), stored.recordCount);
  if (!units || !RelocateHandlers(*units, handlerCount)) return std::nullopt;
  stored.units = std::move(*units);
  return std::move(static_cast<WindowTemplate&>(stored));
}

}  // namespace

std::optional<std::vector<WindowTemplate>> ReadFormData(std::span<const uint8_t> data, uint32_t handlerCount) {
  BlobReader in(data);
  uint32_t mapBytes = in.word();
  if (!in.ok() || mapBytes % 8 != 0 || mapBytes > data.size()) return std::nullopt;
  uint32_t windowCount = mapBytes / 8;
  std::vector<uint32_t> ids;
  for (uint32_t i = 0; i < windowCount; ++i) ids.push_back(in.word());
  for (uint32_t i = 0; i < windowCount; ++i) in.word();  // the registry's pointer slots
  std::vector<WindowTemplate> templates;
  for (uint32_t id : ids) {
    auto t = ReadTemplate(in, id, handlerCount);
    if (!t) return std::nullopt;
    templates.push_back(std::move(*t));
  }
  return in.ok() ? std::optional(std::move(templates)) : std::nullopt;
}

}  // namespace win
