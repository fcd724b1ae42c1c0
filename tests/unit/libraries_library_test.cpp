#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>
#include <cstring>
#include <set>
#include <string>

#include "libraries/libraries.h"
#include "libraries/runtime_link.h"
#include "libraries/threads/state.h"
#include "windows/unit_type.h"

namespace {

struct LibraryCase {
  const char* name;
  const rt::LibraryDescriptor* descriptor;
  std::array<uint32_t, 7> version;
  uint32_t stateFlags;
  int32_t dataTypeCount;
  int usedTypeNumber;  // 0: no data types
  const char* usedTypeName;
  intptr_t endAnswer;  // the answer to notify code 6
  intptr_t (*callRuntime)(int, intptr_t, intptr_t);
};

const LibraryCase kLibraries[] = {
    {"extended interface", &lib::kExtendedUiLibrary, {2, 0, 3, 3, 0, 3, 0}, 0, 5, 2, "StatusBar",
     rt::kNotifyUnhandled, &lib::CallRuntime<rt::LIB_EXTENDED_UI>},
    {"drag and drop", &lib::kDragDropLibrary, {2, 0, 0, 3, 0, 3, 8}, 0, 1, 1, "DropTarget", rt::kNotifyUnhandled,
     &lib::CallRuntime<rt::LIB_DRAG_DROP>},
    {"special functions", &lib::kUtilitiesLibrary, {3, 1, 0, 3, 8, 3, 0}, 0xC0000000, 0, 0, nullptr, 0,
     &lib::CallRuntime<rt::LIB_SPECIAL>},
    {"shell", &lib::kShellLibrary, {3, 0, 0, 3, 0, 3, 0}, 0, 0, 0, nullptr, rt::kNotifyUnhandled,
     &lib::CallRuntime<rt::LIB_SHELL>},
    {"multithreading", &lib::kThreadsLibrary, {2, 0, 3, 3, 7, 3, 7}, 0xC0000000, 0, 0, nullptr, 0,
     &lib::CallRuntime<rt::LIB_THREADS>},
    {"multimedia", &lib::kMultimediaLibrary, {3, 0, 0, 3, 7, 3, 7}, 0x80000000, 8, 6, "MediaPlay",
     rt::kNotifyUnhandled, &lib::CallRuntime<rt::LIB_MULTIMEDIA>},
};

template <class T>
bool AllZero(const T& record) {
  const auto* bytes = reinterpret_cast<const uint8_t*>(&record);
  return std::all_of(bytes, bytes + sizeof record, [](uint8_t b) { return b == 0; });
}

bool IsIdentifier(std::string text) {
  if (text.size() == 34 && text.front() == '{' && text.back() == '}') text = text.substr(1, 32);
  return text.size() == 32 && std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isxdigit(c); });
}

TEST(LibraryDescriptors, FixedWordsAreSetAndTheRestIsEmpty) {
  for (const LibraryCase& c : kLibraries) {
    const rt::LibraryDescriptor& d = *c.descriptor;
    EXPECT_EQ(d.formatMark, 0x01312D65u) << c.name;
    EXPECT_EQ(d.textEncoding, 1u) << c.name;
    EXPECT_NE(d.displayName, nullptr) << c.name;
    EXPECT_EQ(d.description, nullptr) << c.name;
    EXPECT_TRUE(AllZero(d.furtherTexts)) << c.name;
    EXPECT_EQ(d.reserved1, 0u) << c.name;
    EXPECT_EQ(d.reserved1Pointer, nullptr) << c.name;
    EXPECT_EQ(d.commandDescriptions != nullptr, d.commandCount > 0) << c.name << ": command declarations when it has commands";
    EXPECT_EQ(d.reserved2, 0u) << c.name;
    EXPECT_EQ(d.reserved2Pointer, nullptr) << c.name;
    EXPECT_NE(d.notify, nullptr) << c.name;
    EXPECT_EQ(d.reserved3, 0u) << c.name;
    EXPECT_EQ(d.reserved3Pointer, nullptr) << c.name;
    EXPECT_EQ(d.constantCount, 0) << c.name;
    EXPECT_EQ(d.constants, nullptr) << c.name;
    EXPECT_EQ(d.dependencies, nullptr) << c.name;
  }
}

TEST(LibraryDescriptors, VersionWordsAndStateFlags) {
  for (const LibraryCase& c : kLibraries) {
    EXPECT_TRUE(std::equal(c.version.begin(), c.version.end(), c.descriptor->version)) << c.name;
    EXPECT_EQ(c.descriptor->stateFlags, c.stateFlags) << c.name;
  }
}

TEST(LibraryDescriptors, IdentifiersAreHexadecimalAndUnique) {
  std::set<std::string> seen;
  for (const LibraryCase& c : kLibraries) {
    ASSERT_NE(c.descriptor->identifier, nullptr) << c.name;
    EXPECT_TRUE(IsIdentifier(c.descriptor->identifier)) << c.name << ": " << c.descriptor->identifier;
    EXPECT_TRUE(seen.insert(c.descriptor->identifier).second) << c.name << " repeats an identifier";
  }
}

TEST(LibraryDescriptors, DisplayNamesDiffer) {
  std::set<std::string> seen;
  for (const LibraryCase& c : kLibraries) EXPECT_TRUE(seen.insert(c.descriptor->displayName).second) << c.name;
}

TEST(LibraryDescriptors, UnusedDataTypesAreZeroRecords) {
  for (const LibraryCase& c : kLibraries) {
    const rt::LibraryDescriptor& d = *c.descriptor;
    ASSERT_EQ(d.dataTypeCount, c.dataTypeCount) << c.name;
    if (c.dataTypeCount == 0) {
      EXPECT_EQ(d.dataTypes, nullptr) << c.name;
      continue;
    }
    for (int type = 1; type <= d.dataTypeCount; ++type) {
      const win::UnitTypeDescriptor& record = d.dataTypes[type - 1];
      if (type != c.usedTypeNumber) {
        EXPECT_TRUE(AllZero(record)) << c.name << " type " << type;
        continue;
      }
      ASSERT_NE(record.englishName, nullptr) << c.name;
      EXPECT_STREQ(record.englishName, c.usedTypeName) << c.name;
      EXPECT_NE(record.interfaceFunction, nullptr) << c.name;
    }
  }
}

TEST(LibraryDescriptors, CommandCountMatchesTheEntryTable) {
  for (const LibraryCase& c : kLibraries) {
    const rt::LibraryDescriptor& d = *c.descriptor;
    ASSERT_GE(d.commandCount, 0) << c.name;
    if (d.commandCount == 0) {
      EXPECT_EQ(d.commands, nullptr) << c.name;
      EXPECT_EQ(d.commandDescriptions, nullptr) << c.name;
    }
    for (int i = 0; i < d.commandCount; ++i) EXPECT_NE(d.commands[i], nullptr) << c.name << " command " << i;
  }
}

struct Request {
  int code = 0;
  intptr_t parameter1 = 0;
  intptr_t parameter2 = 0;
};
Request lastRequest;

intptr_t RecordingCallback(int code, intptr_t parameter1, intptr_t parameter2) {
  lastRequest = {code, parameter1, parameter2};
  return 5;
}

TEST(LibraryNotify, StartStoresTheCallbackForTheLibrarysWrapper) {
  for (const LibraryCase& c : kLibraries) {
    rt::NotifyFunction notify = c.descriptor->notify;
    ASSERT_EQ(notify(rt::NOTIFY_START, reinterpret_cast<intptr_t>(&RecordingCallback), 0), 0) << c.name;
    lastRequest = {};
    EXPECT_EQ(c.callRuntime(2024, 64, 1), 5) << c.name;
    EXPECT_EQ(lastRequest.code, 2024) << c.name;
    EXPECT_EQ(lastRequest.parameter1, 64) << c.name;
    EXPECT_EQ(lastRequest.parameter2, 1) << c.name;
    // Leave no callback behind for other tests.
    ASSERT_EQ(notify(rt::NOTIFY_START, 0, 0), 0) << c.name;
    EXPECT_EQ(c.callRuntime(2024, 64, 1), 0) << c.name;
  }
}

TEST(LibraryNotify, EndIsAnsweredByTheLibrariesThatReleaseSomething) {
  for (const LibraryCase& c : kLibraries) EXPECT_EQ(c.descriptor->notify(rt::NOTIFY_END, 0, 0), c.endAnswer) << c.name;
}

TEST(LibraryNotify, OtherCodesAreUnhandled) {
  for (const LibraryCase& c : kLibraries) {
    for (int code : {0, 2, 8, 10, 11, 12, 13}) {
      EXPECT_EQ(c.descriptor->notify(code, 0, 0), rt::kNotifyUnhandled) << c.name << " code " << code;
    }
  }
}

}  // namespace
