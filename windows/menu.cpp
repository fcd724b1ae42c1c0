#include "windows/menu.h"

#include <array>
#include <string>
#include <vector>

#include "runtime/gbk.h"

namespace win {
namespace {

constexpr const char* kFunctionKeyNames[] = {"F1", "F2", "F3", "F4",  "F5",  "F6",
                                             "F7", "F8", "F9", "F10", "F11", "F12"};

// Indexes 1–26 Ctrl+A…Ctrl+Z, 27–38 F1…F12, 39–50 Ctrl+F*, 51–62 Shift+F*,
// 63–74 Ctrl+Shift+F*, 75 Ins, 76 Del.
struct ShortcutTable {
  std::array<std::string, 77> names;
  std::array<Shortcut, 77> entries{};

  ShortcutTable() {
    for (int i = 0; i < 26; ++i) add(1 + i, std::string("Ctrl+") + char('A' + i), FCONTROL, WORD('A' + i));
    const std::pair<const char*, BYTE> groups[] = {{"", 0}, {"Ctrl+", FCONTROL}, {"Shift+", FSHIFT},
                                                   {"Ctrl+Shift+", FCONTROL | FSHIFT}};
    for (int g = 0; g < 4; ++g)
      for (int f = 0; f < 12; ++f)
        add(27 + 12 * g + f, std::string(groups[g].first) + kFunctionKeyNames[f], groups[g].second, WORD(VK_F1 + f));
    add(75, "Ins", 0, VK_INSERT);
    add(76, "Del", 0, VK_DELETE);
  }
  void add(int index, std::string name, BYTE flags, WORD key) {
    names[size_t(index)] = std::move(name);
    entries[size_t(index)] = {names[size_t(index)].c_str(), flags, key};
  }
};

const ShortcutTable& Shortcuts() {
  static const ShortcutTable table;
  return table;
}

struct MenuItem {
  uint32_t shortcut, level, flags;
  std::string caption;
};

MenuItem ReadItem(const UnitList& units, uint32_t index) {
  MenuRecordLayout l = units.menuLayout(index);
  return {units.word(index, l.shortcut), units.word(index, l.level), units.word(index, l.flags),
          std::string(units.zText(index, l.caption))};
}

class MenuBuilder {
 public:
  MenuBuilder(const UnitList& units, MenuRun run) : units_(units), run_(run) {}

  BuiltMenu build() {
    menus_.push_back(CreateMenu());
    for (uint32_t p = 0; p < run_.count; ++p) p = append(p);
    if (GetMenuItemCount(menus_[0]) == 0) {
      DestroyMenu(menus_[0]);
      return {};
    }
    HACCEL table = accelerators_.empty() ? nullptr : CreateAcceleratorTableW(accelerators_.data(), int(accelerators_.size()));
    return {menus_[0], table};
  }

 private:
  MenuItem item(uint32_t position) const { return ReadItem(units_, run_.first + position); }

  // Appends the item at `position`; returns the last position it consumed.
  uint32_t append(uint32_t position) {
    MenuItem it = item(position);
    bool deeperFollows = position + 1 < run_.count && item(position + 1).level > it.level;
    if (it.flags & MENU_HIDDEN) return skipDeeper(position, it.level);
    if (it.level >= menus_.size()) return position;  // no popup to hold it: a level jump
    menus_.resize(it.level + 1);
    UINT command = kFirstMenuCommand + position;
    std::wstring text = rt::WideFromGbk(it.caption);
    const Shortcut* shortcut = FindShortcut(it.shortcut);
    if (deeperFollows) {
      HMENU popup = CreatePopupMenu();
      AppendMenuW(menus_[it.level], MF_POPUP | (it.flags & MENU_DISABLED ? MF_GRAYED : 0), UINT_PTR(popup), text.c_str());
      menus_.push_back(popup);
    } else if (it.caption == "-") {
      AppendMenuW(menus_[it.level], MF_SEPARATOR, command, nullptr);
    } else {
      if (shortcut) text += L"\t" + rt::WideFromGbk(shortcut->name);
      UINT flags = MF_STRING | (it.flags & MENU_CHECKED ? MF_CHECKED : 0) | (it.flags & MENU_DISABLED ? MF_GRAYED : 0);
      AppendMenuW(menus_[it.level], flags, command, text.c_str());
    }
    if (shortcut) accelerators_.push_back({BYTE(shortcut->virtualFlags | FVIRTKEY | FNOINVERT), shortcut->key, WORD(command)});
    return position;
  }

  uint32_t skipDeeper(uint32_t position, uint32_t level) const {
    while (position + 1 < run_.count && item(position + 1).level > level) ++position;
    return position;
  }

  const UnitList& units_;
  MenuRun run_;
  std::vector<HMENU> menus_;
  std::vector<ACCEL> accelerators_;
};

}  // namespace

const Shortcut* FindShortcut(uint32_t index) {
  if (index < 1 || index > 76) return nullptr;
  return &Shortcuts().entries[index];
}

MenuRun FindMenuRun(const UnitList& units) {
  MenuRun run;
  for (uint32_t i = 0; i < units.count(); ++i) {
    if (!units.isMenuItem(i)) {
      if (run.count) break;
      continue;
    }
    if (!run.count) run.first = i;
    ++run.count;
  }
  return run;
}

BuiltMenu BuildMenu(const UnitList& units) {
  MenuRun run = FindMenuRun(units);
  if (!run.count) return {};
  return MenuBuilder(units, run).build();
}

}  // namespace win
