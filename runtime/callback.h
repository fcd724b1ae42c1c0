// The runtime callback: the one function through which support libraries ask
// the runtime for memory, errors, events, windows and message pumping.
#pragma once

#include <cstdint>

namespace rt {

enum CallbackRequest : int {
  REQ_DEFAULT_ICONS = 1000,
  REQ_WINDOW_REGISTRY = 1001,
  REQ_UNIT_TYPE = 1002,
  REQ_REGISTER_IDLE_ROUTINE = 1012,
  REQ_UNREGISTER_IDLE_ROUTINE = 1013,
  REQ_UNIT_DESTROYED = 2000,
  REQ_NUMERIC_TO_INT = 2001,
  REQ_RESERVED_ZERO = 2002,
  REQ_PROGRAM_DIRECTORY = 2003,
  REQ_PROGRAM_FILE_NAME = 2004,
  REQ_LOAD_WINDOW = 2005,
  REQ_WINDOW_OBJECT = 2006,
  REQ_WINDOW_OBJECT_OR_FAIL = 2007,
  REQ_RAISE_EVENT = 2008,
  REQ_SUPPRESS_EVENTS = 2009,
  REQ_RESUME_EVENTS = 2010,
  REQ_CLEANUP_ADD = 2012,
  REQ_CLEANUP_REMOVE = 2013,
  REQ_CLEANUP_FIND = 2014,
  REQ_CURRENT_EVENT_SOURCE = 2017,
  REQ_DO_EVENTS = 2018,
  REQ_UNIT_TYPE_CODE = 2022,
  REQ_FREE_ARRAY = 2023,
  REQ_ALLOC = 2024,
  REQ_FREE = 2025,
  REQ_REALLOC = 2026,
  REQ_FATAL_ERROR = 2027,
  REQ_EXIT_PROGRAM = 2028,
  REQ_WINDOW_UNIT_KIND = 2029,
  REQ_BUILD_KIND = 2030,
  REQ_RAISE_EVENT_EXTENDED = 2031,
  REQ_TEMPLATE_COUNT = 2032,
  REQ_TEMPLATE_WINDOW = 2033,
};

intptr_t RuntimeCallbackEntry(int request, intptr_t parameter1, intptr_t parameter2);

// Objects a library hands the runtime to be closed and deleted at shutdown.
struct CleanupObject {
  virtual ~CleanupObject() = default;
  virtual void Close() = 0;
};

void DestroyDefaultIcons();
void ReleaseCleanupObjects();

}  // namespace rt
