// The multimedia library (library 6): the MediaPlay unit type.
#include "libraries/libraries.h"
#include "libraries/library_descriptor.h"
#include "libraries/multimedia/media_play.h"
#include "libraries/runtime_link.h"

namespace lib {
namespace {

// Type numbers 1 to 8; the program uses only the MediaPlay (6), the others
// keep their places as zero records so that every type code keeps its meaning.
constexpr win::UnitTypeDescriptor kDataTypes[] = {{}, {}, {}, {}, {}, multimedia::kMediaPlayType, {}, {}};

}  // namespace

constinit const rt::LibraryDescriptor kMultimediaLibrary = DescribeLibrary({
    .identifier = "E144703966F9CCB02D291679210BCEE7",
    .version = {3, 0, 0, 3, 7, 3, 7},
    .displayName = "多媒体库",
    .stateFlags = 0x80000000,
    .dataTypes = kDataTypes,
    .notify = &Notify<rt::LIB_MULTIMEDIA>,
});

}  // namespace lib
