// The multimedia library (library 6): the MediaPlay unit type.
#include <iterator>

#include "libraries/command_table.h"
#include "libraries/libraries.h"
#include "libraries/library_descriptor.h"
#include "libraries/multimedia/media_play.h"
#include "libraries/runtime_link.h"

namespace lib {
namespace {

// Type numbers 1 to 8; the program uses only the MediaPlay (6), the others
// keep their places as zero records so that every type code keeps its meaning.
constexpr win::UnitTypeDescriptor kDataTypes[] = {{}, {}, {}, {}, {}, multimedia::kMediaPlayType, {}, {}};

// Every command runs on the window thread: MCI devices are bound to the
// thread that opened them (libraries/multimedia/media_play.h).
constexpr Arg kUnit = Arg::Unit;
constexpr RunsOn kWindowThread = RunsOn::WindowThread;
constexpr uint32_t kMediaPlay = multimedia::kMediaPlayTypeCode;
constexpr CommandSpec kCommandSpecs[] = {
    {"Stop", multimedia::StopCommand, {kUnit}, 0, kWindowThread, kMediaPlay},
    {"Open", multimedia::OpenCommand, {kUnit, Arg::Text}, 0, kWindowThread, kMediaPlay},
    {"Play", multimedia::PlayCommand, {kUnit, Arg::Integer, Arg::Integer}, Optional({3}), kWindowThread, kMediaPlay},
    {"Pause", multimedia::PauseCommand, {kUnit}, 0, kWindowThread, kMediaPlay},
    {"PlayingPosition", multimedia::PlayingPositionCommand, {kUnit}, 0, kWindowThread, kMediaPlay},
};
static_assert(std::size(kCommandSpecs) == multimedia::CMD_PLAYING_POSITION + 1, "every command, in command order");

constexpr auto kCommands = CommandEntries<kCommandSpecs>();

}  // namespace

constinit const rt::LibraryDescriptor kMultimediaLibrary = DescribeLibrary({
    .identifier = "E144703966F9CCB02D291679210BCEE7",
    .version = {3, 0, 0, 3, 7, 3, 7},
    .displayName = "多媒体库",
    .stateFlags = 0x80000000,
    .dataTypes = kDataTypes,
    .commandSpecs = kCommandSpecs,
    .commands = kCommands,
    .notify = &Notify<rt::LIB_MULTIMEDIA>,
});

}  // namespace lib
