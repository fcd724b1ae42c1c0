#include "libraries/multimedia/library.h"

#include "libraries/library_descriptor.h"
#include "libraries/multimedia/media_play.h"
#include "libraries/runtime_link.h"

namespace lib {
namespace multimedia {
namespace {

// The multimedia library answers code 1 only.
using Link = RuntimeLink<rt::LIB_MULTIMEDIA>;

// Type numbers 1 to 8; the program uses only the MediaPlay (6), the others
// keep their places as zero records so that every type code keeps its meaning.
constexpr win::UnitTypeDescriptor kDataTypes[] = {{}, {}, {}, {}, {}, kMediaPlayType, {}, {}};

}  // namespace

intptr_t CallRuntime(int request, intptr_t parameter1, intptr_t parameter2) {
  return Link::Call(request, parameter1, parameter2);
}

}  // namespace multimedia

constinit const rt::LibraryDescriptor kMultimediaLibrary = DescribeLibrary({
    .identifier = "E144703966F9CCB02D291679210BCEE7",
    .version = {3, 0, 0, 3, 7, 3, 7},
    .displayName = "多媒体库",
    .stateFlags = 0x80000000,
    .dataTypes = multimedia::kDataTypes,
    .notify = &multimedia::Link::Notify,
});

}  // namespace lib
