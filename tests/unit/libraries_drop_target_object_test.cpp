#include "libraries/drag_drop/drop_target_object.h"

#include <shlobj.h>

#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "driver.h"
#include "heap_blocks.h"
#include "libraries/drag_drop/dropped_data.h"
#include "libraries/libraries.h"
#include "libraries/runtime_link.h"
#include "loaded_window.h"
#include "runtime/callback.h"
#include "runtime/heap.h"
#include "unit_properties.h"
#include "units_test_support.h"
#include "windows/events.h"

namespace {

using driver::DragFormat;
using lib::drag_drop::AcceptedFormats;
using lib::drag_drop::KDropTarget;

constexpr uint32_t kDropTargetCode = 0x00030001;
constexpr uint32_t kDrop = 0x16010003;
constexpr DWORD kEveryEffect = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
constexpr POINTL kPoint = {10, 10};

std::vector<uint8_t> Blob(const AcceptedFormats& accepts) {
  std::vector<uint8_t> blob(4 * (1 + accepts.size()));
  blob[0] = 1;
  for (size_t i = 0; i < accepts.size(); ++i) blob[4 * (i + 1)] = accepts[i];
  return blob;
}

constexpr AcceptedFormats kFilesOnly = {false, false, false, true};
constexpr AcceptedFormats kEveryFormat = {true, true, true, true};
constexpr AcceptedFormats kNoFormat = {};

CLIPFORMAT Format(lib::drag_drop::AcceptedFormat format) { return lib::drag_drop::ClipboardFormat(format); }
DragFormat Text(std::string_view text) { return driver::textFormat(CF_TEXT, text); }
DragFormat Html(std::string_view utf8) { return driver::textFormat(Format(lib::drag_drop::ACCEPT_HTML), utf8); }
DragFormat Url(std::string_view url) { return driver::textFormat(Format(lib::drag_drop::ACCEPT_URL), url); }
DragFormat Files(const std::vector<std::wstring>& paths) { return driver::fileListFormat(paths); }
DragFormat Undeliverable(DragFormat format) {
  format.deliverable = false;
  return format;
}

// What a handler saw: the event and the text its argument's variable held.
struct Seen {
  int32_t event;
  std::string text;
  bool operator==(const Seen&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Seen& seen) {
  out << "event " << seen.event << ": \"";
  for (unsigned char c : seen.text) {
    if (c == '\r') out << "\\r";
    else if (c == '\n') out << "\\n";
    else if (c < 0x20 || c >= 0x80) out << "\\x" << std::hex << int(c) << std::dec;
    else out << c;
  }
  return out << '"';
}

// A DropTarget unit on a loaded window, its events 0 to 3 bound to handlers
// 0 to 3, each of which records its text; OLE is up as in the program.
class DropTargetDrops : public testing_support::LoadedWindowTest {
 protected:
  void SetUp() override {
    LoadedWindowTest::SetUp();
    ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
  }
  void TearDown() override {
    LoadedWindowTest::TearDown();
    OleUninitialize();
  }

  KDropTarget& LoadDropTarget(const AcceptedFormats& accepts) {
    std::vector<std::pair<int32_t, uint32_t>> events;
    for (int event = 0; event < 4; ++event) {
      events.push_back({event, testing_support::Handler(event)});
      ActOn(event, [this, event](rt::HandlerCall& call) { seen_.push_back({event, VariableText(call)}); });
    }
    LoadWith({{.id = kDrop, .type = kDropTargetCode, .events = events, .blob = Blob(accepts)}});
    KDropTarget* target = Unit(kDrop) ? lib::drag_drop::DropTargetObject(*Unit(kDrop)) : nullptr;
    EXPECT_NE(target, nullptr);
    return *target;
  }

  // The flags as program code writes them: the unit's properties 8 to 11.
  void Accept(const AcceptedFormats& accepts) {
    for (size_t i = 0; i < accepts.size(); ++i) drop_.Write(8 + int(i), int64_t(accepts[i]));
  }

  static std::string VariableText(const rt::HandlerCall& call) {
    const char* text = *reinterpret_cast<char* const*>(intptr_t(call.arguments[0]));
    return text ? text : "";
  }

  // A whole drag: DragEnter, DragOver, then Drop with the same keys.
  struct Dropped {
    HRESULT result;
    DWORD effect;
  };
  static Dropped DragAndDrop(KDropTarget& target, IDataObject& data, DWORD keys = 0, DWORD allowed = kEveryEffect) {
    DWORD effect = allowed;
    target.DragEnter(&data, keys, kPoint, &effect);
    effect = allowed;
    target.DragOver(keys, kPoint, &effect);
    effect = allowed;
    HRESULT result = target.Drop(&data, keys, kPoint, &effect);
    return {result, effect};
  }

  std::vector<Seen> seen_;
  const units_test::UnitProperties drop_{kWindowId, kDrop, lib::drag_drop::kDropTargetType};
};

// ---- IUnknown ------------------------------------------------------------------------

TEST(KDropTarget, AnswersItsTwoInterfacesWithItselfAndCountsWithoutEverDeletingItself) {
  KDropTarget target(kFilesOnly);
  void* object = &target;
  EXPECT_EQ(target.QueryInterface(IID_IDataObject, &object), E_NOINTERFACE);
  EXPECT_EQ(object, nullptr);
  EXPECT_EQ(target.QueryInterface(IID_IUnknown, &object), S_OK);
  EXPECT_EQ(object, static_cast<IDropTarget*>(&target));
  EXPECT_EQ(target.QueryInterface(IID_IDropTarget, &object), S_OK);
  EXPECT_EQ(object, static_cast<IDropTarget*>(&target));
  EXPECT_EQ(target.AddRef(), 4u) << "the unit's own reference and one per interface answered";
  for (ULONG left : {3u, 2u, 1u, 0u}) EXPECT_EQ(target.Release(), left);
  EXPECT_EQ(target.Release(), 0u) << "the count stays at 0";
  EXPECT_EQ(target.AddRef(), 1u) << "the object is still there";
}

// ---- Drags -----------------------------------------------------------------------------

struct EffectCase {
  const char* name;
  bool acceptableData;
  DWORD keys;
  DWORD allowed;
  DWORD effect;
};

TEST_F(DropTargetDrops, TheEffectFollowsTheKeysAndWhatTheSourceAllows) {
  const EffectCase cases[] = {
      {"nothing acceptable", false, 0, kEveryEffect, DROPEFFECT_NONE},
      {"nothing acceptable, Ctrl", false, MK_CONTROL, kEveryEffect, DROPEFFECT_NONE},
      {"no key: copy first", true, 0, kEveryEffect, DROPEFFECT_COPY},
      {"no key, no copy: move", true, 0, DROPEFFECT_MOVE | DROPEFFECT_LINK, DROPEFFECT_MOVE},
      {"no key, only link", true, 0, DROPEFFECT_LINK, DROPEFFECT_LINK},
      {"no key, nothing allowed", true, 0, DROPEFFECT_NONE, DROPEFFECT_NONE},
      {"the mouse button is no key", true, MK_LBUTTON, DROPEFFECT_MOVE, DROPEFFECT_MOVE},
      {"Ctrl: copy", true, MK_CONTROL, kEveryEffect, DROPEFFECT_COPY},
      {"Ctrl, no copy allowed", true, MK_CONTROL, DROPEFFECT_MOVE | DROPEFFECT_LINK, DROPEFFECT_NONE},
      {"Shift: move", true, MK_SHIFT, kEveryEffect, DROPEFFECT_MOVE},
      {"Shift, copy only", true, MK_SHIFT, DROPEFFECT_COPY, DROPEFFECT_NONE},
      {"Ctrl+Shift: a link is never granted", true, MK_CONTROL | MK_SHIFT, kEveryEffect, DROPEFFECT_NONE},
      {"Ctrl+Shift, link only", true, MK_CONTROL | MK_SHIFT, DROPEFFECT_LINK, DROPEFFECT_NONE},
  };
  KDropTarget& target = LoadDropTarget(kFilesOnly);
  auto files = driver::DragData::make({Files({L"C:\\a"})});
  auto text = driver::DragData::make({Text("a")});
  for (const EffectCase& c : cases) {
    IDataObject& data = c.acceptableData ? *files : *text;
    DWORD effect = c.allowed;
    EXPECT_EQ(target.DragEnter(&data, c.keys, kPoint, &effect), S_OK) << c.name;
    EXPECT_EQ(effect, c.effect) << c.name << ": DragEnter";
    effect = c.allowed;
    EXPECT_EQ(target.DragOver(c.keys, kPoint, &effect), S_OK) << c.name;
    EXPECT_EQ(effect, c.effect) << c.name << ": DragOver";
    EXPECT_EQ(target.DragLeave(), S_OK) << c.name;
  }
}

TEST_F(DropTargetDrops, AfterDragLeaveNothingIsAcceptableUntilTheNextDragEnter) {
  KDropTarget& target = LoadDropTarget(kFilesOnly);
  auto files = driver::DragData::make({Files({L"C:\\a"})});
  DWORD effect = kEveryEffect;
  target.DragEnter(files.get(), 0, kPoint, &effect);
  target.DragLeave();
  effect = kEveryEffect;
  target.DragOver(0, kPoint, &effect);
  EXPECT_EQ(effect, DROPEFFECT_NONE);
  effect = kEveryEffect;
  EXPECT_EQ(target.Drop(files.get(), 0, kPoint, &effect), E_FAIL);
  EXPECT_EQ(effect, DROPEFFECT_NONE);
  EXPECT_EQ(seen_, std::vector<Seen>{});
}

struct SearchCase {
  const char* name;
  AcceptedFormats accepts;
  std::vector<DragFormat> data;
  std::vector<lib::drag_drop::AcceptedFormat> asked;  // in order
  DWORD effect;
};

// Formats are looked for text, files, URL, HTML, only those accepted, until
// one is there.
TEST_F(DropTargetDrops, DragEnterAsksForAcceptedFormatsInOrderUntilOneIsThere) {
  using enum lib::drag_drop::AcceptedFormat;
  const SearchCase cases[] = {
      {"every format there: text is enough", kEveryFormat, {Html("h"), Url("u"), Files({L"C:\\f"}), Text("t")},
       {ACCEPT_TEXT}, DROPEFFECT_COPY},
      {"only HTML there", kEveryFormat, {Html("h")}, {ACCEPT_TEXT, ACCEPT_FILES, ACCEPT_URL, ACCEPT_HTML},
       DROPEFFECT_COPY},
      {"text not accepted", {false, true, true, true}, {Url("u")}, {ACCEPT_FILES, ACCEPT_URL}, DROPEFFECT_COPY},
      {"files only, text there", kFilesOnly, {Text("t")}, {ACCEPT_FILES}, DROPEFFECT_NONE},
      {"nothing accepted", kNoFormat, {Text("t"), Html("h"), Url("u"), Files({L"C:\\f"})}, {}, DROPEFFECT_NONE},
  };
  KDropTarget& target = LoadDropTarget(kNoFormat);
  for (const SearchCase& c : cases) {
    Accept(c.accepts);
    auto data = driver::DragData::make(c.data);
    DWORD effect = kEveryEffect;
    target.DragEnter(data.get(), 0, kPoint, &effect);
    std::vector<CLIPFORMAT> asked;
    for (auto format : c.asked) asked.push_back(Format(format));
    EXPECT_EQ(data->queried(), asked) << c.name;
    EXPECT_EQ(effect, c.effect) << c.name;
  }
}

// ---- Drops -----------------------------------------------------------------------------

// Drop data as a source on this system gives it: CF_TEXT in its ANSI code page.
std::string InAnsiCodePage(const std::wstring& text) {
  int n = WideCharToMultiByte(CP_ACP, 0, text.c_str(), int(text.size()), nullptr, 0, nullptr, nullptr);
  std::string bytes(size_t(n), '\0');
  WideCharToMultiByte(CP_ACP, 0, text.c_str(), int(text.size()), bytes.data(), n, nullptr, nullptr);
  return bytes;
}

// A DROPFILES block as an old source writes it: names in the ANSI code page.
DragFormat AnsiFiles(std::string_view names) {
  DROPFILES header{sizeof(DROPFILES), {0, 0}, FALSE, FALSE};
  DragFormat list{CF_HDROP, std::vector<uint8_t>(sizeof header + names.size() + 2)};
  std::memcpy(list.bytes.data(), &header, sizeof header);
  std::memcpy(list.bytes.data() + sizeof header, names.data(), names.size());
  return list;
}

DragFormat WithBytes(DragFormat format, size_t keep) {
  format.bytes.resize(keep);
  return format;
}

DragFormat WithListOffset(DragFormat format, uint32_t offset) {
  std::memcpy(format.bytes.data(), &offset, sizeof offset);
  return format;
}

struct DropCase {
  const char* name;
  AcceptedFormats accepts;
  std::vector<DragFormat> data;
  std::vector<Seen> events;
  DWORD effect = DROPEFFECT_COPY;
};

// Each case on one unit, its flags written first.
class DropCases : public DropTargetDrops {
 protected:
  template <size_t N>
  void ExpectDrops(const DropCase (&cases)[N]) {
    KDropTarget& target = LoadDropTarget(kNoFormat);
    for (const DropCase& c : cases) {
      seen_.clear();
      Accept(c.accepts);
      auto data = driver::DragData::make(c.data);
      Dropped dropped = DragAndDrop(target, *data);
      EXPECT_EQ(dropped.result, E_FAIL) << c.name << ": the source always sees the drop fail";
      EXPECT_EQ(dropped.effect, c.effect) << c.name;
      EXPECT_EQ(seen_, c.events) << c.name;
    }
  }
};

TEST_F(DropCases, EachAcceptedFormatRaisesItsEventWithItsTextInFormatOrder) {
  const DropCase cases[] = {
      {"one path: as it is", kFilesOnly, {Files({L"C:\\frames"})}, {{3, "C:\\frames"}}},
      {"two paths: each followed by CR LF", kFilesOnly, {Files({L"C:\\a.txt", L"D:\\b c.txt"})},
       {{3, "C:\\a.txt\r\nD:\\b c.txt\r\n"}}},
      {"no paths: the empty text", kFilesOnly, {Files({})}, {{3, ""}}},
      {"Chinese paths arrive in code page 936", kFilesOnly, {Files({L"C:\\音乐\\背景.mp3"})},
       {{3, "C:\\音乐\\背景.mp3"}}},
      {"names of an ANSI list", kFilesOnly, {AnsiFiles("C:\\x")}, {{3, "C:\\x"}}},
      {"HTML beats text: every format", kEveryFormat,
       {Text("plain"), Html("<b>bold</b>"), Url("http://a.invalid/"), Files({L"C:\\f"})},
       {{1, "<b>bold</b>"}, {2, "http://a.invalid/"}, {3, "C:\\f"}}},
      {"text and URL without HTML", kEveryFormat, {Url("http://a.invalid/"), Text("plain")},
       {{0, "plain"}, {2, "http://a.invalid/"}}},
      {"HTML there but not accepted: still no text", {true, false, false, false}, {Text("plain"), Html("h")}, {}},
      {"text in the ANSI code page arrives in code page 936", {true, false, false, false},
       {Text(InAnsiCodePage(L"café"))}, {{0, "caf\xA8\xA6"}}},
      {"HTML is UTF-8; no-break spaces become spaces", {false, true, false, false},
       {Html("a\xC2\xA0" "b\xC2\xA0\xC2\xA0\xE4\xB8\xAD")}, {{1, "a b  中"}}},
      {"accepted formats the data lacks", {true, false, true, false}, {Files({L"C:\\f"}), Html("h")}, {},
       DROPEFFECT_NONE},
      {"nothing accepted", kNoFormat, {Text("t"), Html("h"), Url("u"), Files({L"C:\\f"})}, {}, DROPEFFECT_NONE},
      {"formats announced but not given out", kEveryFormat,
       {Undeliverable(Html("h")), Undeliverable(Url("u")), Text("t"), Files({L"C:\\f"})}, {{0, "t"}, {3, "C:\\f"}}},
      {"a file list cut before its end", {false, false, true, true},
       {WithBytes(Files({L"C:\\long name"}), sizeof(DROPFILES) + 8), Url("u")}, {{2, "u"}}},
      {"an empty file list with one terminator of two", kFilesOnly, {WithBytes(Files({}), sizeof(DROPFILES) + 2)},
       {}},
      {"a file list cut inside its header", kFilesOnly, {WithBytes(Files({L"C:\\f"}), 10)}, {}},
      {"a file list that starts past its block", kFilesOnly, {WithListOffset(Files({L"C:\\f"}), 4096)}, {}},
  };
  ExpectDrops(cases);
}

// A path that code page 936 cannot hold would arrive with '?' in its place:
// another file's name, or a wildcard. It is left out, and the drop shows no
// effect so that the source sees it was not taken whole. With every path
// left out the event still comes, with the empty text, for the handler to
// refuse.
TEST_F(DropCases, PathsCodePage936CannotHoldAreLeftOut) {
  const DropCase cases[] = {
      {"one of three", kFilesOnly, {Files({L"C:\\a", L"C:\\\uD55C\uAE00", L"C:\\b"})}, {{3, "C:\\a\r\nC:\\b\r\n"}},
       DROPEFFECT_NONE},
      {"one of two: the other as one path", kFilesOnly, {Files({L"C:\\\u0E01.mp3", L"C:\\b.mp3"})},
       {{3, "C:\\b.mp3"}}, DROPEFFECT_NONE},
      {"every path: the empty text", kFilesOnly, {Files({L"C:\\\uD55C", L"C:\\\u0E01"})}, {{3, ""}},
       DROPEFFECT_NONE},
      {"half a surrogate pair", kFilesOnly, {Files({L"C:\\\xD800x"})}, {{3, ""}}, DROPEFFECT_NONE},
      {"the other formats still go", {true, false, false, true}, {Text("t"), Files({L"C:\\\uD55C"})},
       {{0, "t"}, {3, ""}}, DROPEFFECT_NONE},
  };
  ExpectDrops(cases);
}

TEST_F(DropTargetDrops, ARefusedDropRaisesNothing) {
  KDropTarget& target = LoadDropTarget(kEveryFormat);
  auto data = driver::DragData::make({Text("t"), Html("h"), Url("u"), Files({L"C:\\f"})});
  for (DWORD keys : {DWORD(MK_CONTROL | MK_SHIFT), DWORD(MK_SHIFT)}) {
    Dropped dropped = DragAndDrop(target, *data, keys, DROPEFFECT_COPY);
    EXPECT_EQ(dropped.result, E_FAIL) << "keys " << keys;
    EXPECT_EQ(dropped.effect, DROPEFFECT_NONE) << "keys " << keys;
  }
  EXPECT_EQ(seen_, std::vector<Seen>{});
}

// The requests of the drag-and-drop library, recorded on their way to the
// runtime: each event's record as it was raised, and each block freed.
struct EventRequest {
  int32_t event;
  int32_t argumentCount;
  rt::EventArgSlot argument;
  const char* heldText;  // what the argument's variable held
};
std::vector<EventRequest> raised;
std::vector<const void*> freed;

intptr_t RecordingCallback(int request, intptr_t parameter1, intptr_t parameter2) {
  if (request == rt::REQ_RAISE_EVENT_EXTENDED) {
    auto* record = reinterpret_cast<win::ExtendedEventRecord*>(parameter1);
    const rt::EventArgSlot& slot = record->arguments[0];
    auto* variable = reinterpret_cast<const char* const*>(uintptr_t(uint64_t(slot.low) | uint64_t(slot.high) << 32));
    raised.push_back({record->event, record->argumentCount, slot, *variable});
  }
  if (request == rt::REQ_FREE) freed.push_back(reinterpret_cast<const void*>(parameter1));
  return rt::RuntimeCallbackEntry(request, parameter1, parameter2);
}

class DropEventRequests : public DropTargetDrops {
 protected:
  void SetUp() override {
    DropTargetDrops::SetUp();
    saved_ = std::exchange(lib::State<rt::LIB_DRAG_DROP>().runtimeCallback, &RecordingCallback);
    raised.clear();
    freed.clear();
  }
  void TearDown() override {
    lib::State<rt::LIB_DRAG_DROP>().runtimeCallback = saved_;
    DropTargetDrops::TearDown();
  }
  rt::RuntimeCallback saved_ = nullptr;
};

TEST_F(DropEventRequests, EachEventCarriesOneTextVariableWhoseTextIsFreedAfterTheHandler) {
  KDropTarget& target = LoadDropTarget(kEveryFormat);
  auto data = driver::DragData::make({Text("t"), Url("u"), Files({})});
  DragAndDrop(target, *data);
  ASSERT_EQ(raised.size(), 3u);
  const int32_t events[] = {0, 2, 3};
  for (size_t i = 0; i < raised.size(); ++i) {
    EXPECT_EQ(raised[i].event, events[i]);
    EXPECT_EQ(raised[i].argumentCount, 1);
    EXPECT_EQ(raised[i].argument.tag, rt::TYPE_TEXT);
    EXPECT_EQ(raised[i].argument.flags, 1u) << "the value is a variable's address";
  }
  EXPECT_EQ(freed, (std::vector<const void*>{raised[0].heldText, raised[1].heldText, nullptr}))
      << "each text once its handler has returned; the empty text is null";
  EXPECT_EQ(seen_, (std::vector<Seen>{{0, "t"}, {2, "u"}, {3, ""}}));
}

TEST_F(DropEventRequests, WhatTheHandlerLeavesInTheVariableIsWhatIsFreed) {
  KDropTarget& target = LoadDropTarget(kFilesOnly);
  char* replacement = rt::MakeText("replaced");
  ActOn(3, [&](rt::HandlerCall& call) {
    char** variable = reinterpret_cast<char**>(intptr_t(call.arguments[0]));
    rt::FreeMemory(*variable);
    *variable = replacement;
  });
  auto data = driver::DragData::make({Files({L"C:\\f"})});
  DragAndDrop(target, *data);
  EXPECT_EQ(freed, std::vector<const void*>{replacement});
}

TEST_F(DropTargetDrops, ADropFreesEveryTextAndMediumItUsed) {
  KDropTarget& target = LoadDropTarget(kEveryFormat);
  auto data = driver::DragData::make({Text("t"), Html("h"), Url("u"), Files({L"C:\\a", L"C:\\b"})});
  DragAndDrop(target, *data);  // the first drop may set up what stays
  size_t before = testing_support::LiveHeapBlocks();
  for (int i = 0; i < 20; ++i) DragAndDrop(target, *data);
  EXPECT_EQ(testing_support::LiveHeapBlocks(), before);
}

// A handler that closes the unit's window ends the drop's events; the unit
// lasts until the drop has returned.
TEST_F(DropTargetDrops, AHandlerThatClosesTheUnitsWindowEndsTheDrop) {
  KDropTarget& target = LoadDropTarget(kEveryFormat);
  HWND unitWindow = Handle(kDrop);
  ActOn(0, [&](rt::HandlerCall& call) {
    seen_.push_back({0, VariableText(call)});
    DestroyWindow(unitWindow);
  });
  auto data = driver::DragData::make({Text("t"), Url("u"), Files({L"C:\\f"})});
  Dropped dropped = DragAndDrop(target, *data);
  EXPECT_EQ(dropped.result, E_FAIL);
  EXPECT_EQ(seen_, (std::vector<Seen>{{0, "t"}}));
  EXPECT_EQ(Unit(kDrop), nullptr);
}

TEST_F(DropTargetDrops, AUnitInDesignModeRaisesNoEvents) {
  units_test::ParentWindow host;
  win::UnitObject* unit = host.Create(lib::drag_drop::kDropTargetType.interfaceFunction, Blob(kEveryFormat),
                                      {0, 0, 32, 32}, 0, 100, true);
  ASSERT_NE(unit, nullptr);
  auto data = driver::DragData::make({Text("t"), Url("u"), Files({L"C:\\f"})});
  Dropped dropped = DragAndDrop(*lib::drag_drop::DropTargetObject(*unit), *data);
  EXPECT_EQ(dropped.result, E_FAIL);
  EXPECT_EQ(dropped.effect, DROPEFFECT_COPY);
  EXPECT_TRUE(Calls().empty());
}

// ---- Registration ------------------------------------------------------------------------

ULONG References(KDropTarget& target) {
  target.AddRef();
  return target.Release();
}

TEST_F(DropTargetDrops, RegistrationHoldsReferencesThatRevocationGivesBack) {
  KDropTarget& target = LoadDropTarget(kFilesOnly);
  EXPECT_EQ(References(target), 1u) << "the unit's own";
  ASSERT_TRUE(target.Register(Handle(0)));
  EXPECT_GT(References(target), 1u) << "OLE holds the target while the window is registered";
  target.Revoke();
  EXPECT_EQ(References(target), 1u);
  EXPECT_EQ(RegisterDragDrop(Handle(0), &target), S_OK) << "the window is free again";
  RevokeDragDrop(Handle(0));
}

}  // namespace
