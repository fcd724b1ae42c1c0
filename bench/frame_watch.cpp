#include "frame_watch.h"

#include <commctrl.h>

#include <cwchar>
#include <string_view>

namespace bench {
namespace {

// SB_GETTEXTW takes no buffer size: the buffer in the program holds the
// longest text a part can answer, and only the start that a playing text
// needs is copied back.
constexpr size_t kRemoteChars = size_t(0xFFFF) + 1;
constexpr size_t kReadChars = 64;

constexpr std::wstring_view kPlaying = L"Playing...", kItem = L"Item";

}  // namespace

std::optional<int> PlayingFrame(const std::wstring& text) {
  std::wstring_view view = text;
  if (!view.starts_with(kPlaying) || !view.ends_with(kItem)) return std::nullopt;
  std::wstring digits(view.substr(kPlaying.size(), view.size() - kPlaying.size() - kItem.size()));
  wchar_t* end = nullptr;
  long frame = std::wcstol(digits.c_str(), &end, 10);
  if (digits.empty() || *end || frame < 1) return std::nullopt;
  return int(frame);
}

FrameWatcher::FrameWatcher(HWND statusBar, DWORD pollMs)
    : bar_(statusBar), pollMs_(pollMs), buffer_(statusBar, kRemoteChars * sizeof(wchar_t)), thread_([this] { poll(); }) {}

FrameWatcher::~FrameWatcher() {
  stop_ = true;
  thread_.join();
}

std::vector<FrameTime> FrameWatcher::times() {
  std::lock_guard hold(lock_);
  return times_;
}

int FrameWatcher::lastFrame() {
  std::lock_guard hold(lock_);
  return times_.empty() ? 0 : times_.back().frame;
}

long FrameWatcher::looks() {
  std::lock_guard hold(lock_);
  return looks_;
}

void FrameWatcher::look() {
  wchar_t text[kReadChars] = {};
  bool read = buffer_.fill(bar_, SB_GETTEXTW, 1, text, sizeof text);
  // The answer comes once the program's window thread is free: the moment
  // the text is known to have changed is now, not when the question left.
  double ms = NowMs();
  text[kReadChars - 1] = L'\0';
  std::optional<int> frame = read ? PlayingFrame(text) : std::nullopt;
  std::lock_guard hold(lock_);
  ++looks_;
  if (frame && (times_.empty() || times_.back().frame != *frame)) times_.push_back({*frame, ms});
}

void FrameWatcher::poll() {
  for (; !stop_; Sleep(pollMs_)) look();
}

}  // namespace bench
