#include "audio_capture.h"

#include <algorithm>
#include <fstream>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <vector>

#include "e2e_support.h"

namespace e2e {
namespace {

constexpr DWORD kPollMs = 20;
// Sound played just before a pause or a stop may still be written this long.
constexpr ULONGLONG kSettleMs = 250;

std::string EnvironmentVariable(const wchar_t* name) {
  wchar_t value[MAX_PATH] = {};
  DWORD length = GetEnvironmentVariableW(name, value, MAX_PATH);
  return length > 0 && length < MAX_PATH ? Utf8(std::wstring(value, length)) : std::string();
}

// A Unix path of its own for each capture of this process, without
// extension. Not in the Windows temporary folder: its Unix name goes
// through "dosdevices/c:", and ALSA_CONFIG_PATH takes ":" as a separator.
std::string NewBasePath() {
  static int serial = 0;
  std::string folder = EnvironmentVariable(L"TMPDIR");
  return (folder.empty() ? "/tmp" : folder) + "/ombre_audio_" + std::to_string(GetCurrentProcessId()) + "_" +
         std::to_string(++serial);
}

// The configuration the test environment gives every program, or ALSA's own.
std::string BaseConfig() {
  std::string configured = EnvironmentVariable(L"ALSA_CONFIG_PATH");
  std::ifstream in(driver::windowsPath(configured.empty() ? "/usr/share/alsa/alsa.conf" : configured).c_str(),
                   std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// Whether `met` comes true within the time, asked every poll.
template <class Met>
bool Within(DWORD ms, Met met) {
  for (ULONGLONG deadline = GetTickCount64() + ms; GetTickCount64() < deadline; Sleep(kPollMs))
    if (met()) return true;
  return false;
}

struct HandleCloser {
  void operator()(HANDLE handle) const { CloseHandle(handle); }
};

// Reads the file to its end, counting the bytes read into `read`; the
// non-zero ones among them.
uint64_t ReadSound(HANDLE file, uint64_t& read) {
  std::vector<uint8_t> buffer(1 << 16);
  uint64_t sound = 0;
  for (DWORD got = 0; ReadFile(file, buffer.data(), DWORD(buffer.size()), &got, nullptr) && got > 0;) {
    read += got;
    sound += uint64_t(std::count_if(buffer.begin(), buffer.begin() + got, [](uint8_t byte) { return byte != 0; }));
  }
  return sound;
}

}  // namespace

AudioCapture::AudioCapture() {
  std::string base = NewBasePath(), samples = base + ".raw";
  unixConfig_ = base + ".conf";
  config_ = driver::windowsPath(unixConfig_);
  samples_ = driver::windowsPath(samples);
  if (config_.empty() || samples_.empty()) throw std::runtime_error("an audio capture needs Wine");
  std::ofstream(config_.c_str(), std::ios::binary)
      << BaseConfig() << "\n"
      << "pcm.!default { type file slave.pcm \"ombre_capture_sink\" file \"" << samples << "\" format \"raw\" }\n"
      << "pcm.ombre_capture_sink { type null }\n"
      << "ctl.!default { type hw card 0 }\n";
}

AudioCapture::~AudioCapture() {
  DeleteFileW(config_.c_str());
  DeleteFileW(samples_.c_str());
}

driver::Process AudioCapture::start(const std::wstring& exePath, const std::wstring& args) const {
  return driver::Process::startWithUnixEnvironment(exePath, args, {L"ALSA_CONFIG_PATH=" + Wide(unixConfig_)});
}

// The writer may start the file afresh when the program opens its device
// again; what was written before that and not read is lost to the count.
void AudioCapture::readAdded() {
  HANDLE opened = CreateFileW(samples_.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
  if (opened == INVALID_HANDLE_VALUE) return;  // nothing played yet
  std::unique_ptr<void, HandleCloser> file(opened);
  LARGE_INTEGER size{};
  GetFileSizeEx(file.get(), &size);
  if (uint64_t(size.QuadPart) < read_) read_ = 0;
  LARGE_INTEGER at{};
  at.QuadPart = LONGLONG(read_);
  SetFilePointerEx(file.get(), at, nullptr, FILE_BEGIN);
  if (uint64_t sound = ReadSound(file.get(), read_)) {
    soundBytes_ += sound;
    lastSound_ = GetTickCount64();
  }
}

uint64_t AudioCapture::soundBytes() {
  readAdded();
  return soundBytes_;
}

bool AudioCapture::waitForSound(DWORD timeoutMs) {
  uint64_t before = soundBytes();
  return Within(timeoutMs, [&] { return soundBytes() > before; });
}

bool AudioCapture::waitForSilence(DWORD timeoutMs) {
  return Within(timeoutMs, [&] {
    readAdded();
    return GetTickCount64() - lastSound_ >= kSettleMs;
  });
}

bool AudioCapture::staysSilent(DWORD ms) {
  uint64_t before = soundBytes();
  return !Within(ms, [&] { return soundBytes() > before; });
}

}  // namespace e2e
