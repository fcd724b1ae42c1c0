#include "libraries/drag_drop/dropped_data.h"

#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <cstring>
#include <span>
#include <string_view>
#include <vector>

#include "runtime/gbk.h"

namespace lib::drag_drop {
namespace {

FORMATETC FormatEtc(AcceptedFormat format) {
  return {ClipboardFormat(format), nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
}

CLIPFORMAT Registered(const wchar_t* name) { return CLIPFORMAT(RegisterClipboardFormatW(name)); }

// One format's medium: locked while it is read, released when it goes.
class Medium {
 public:
  Medium(IDataObject& data, AcceptedFormat format) {
    FORMATETC wanted = FormatEtc(format);
    got_ = SUCCEEDED(data.GetData(&wanted, &medium_));
    if (got_ && medium_.tymed == TYMED_HGLOBAL && medium_.hGlobal)
      bytes_ = static_cast<const uint8_t*>(GlobalLock(medium_.hGlobal));
  }
  ~Medium() {
    if (bytes_) GlobalUnlock(medium_.hGlobal);
    if (got_) ReleaseStgMedium(&medium_);
  }
  Medium(const Medium&) = delete;
  Medium& operator=(const Medium&) = delete;

  // False when the data object did not give the format out as memory.
  bool ok() const { return bytes_ != nullptr; }
  std::span<const uint8_t> bytes() const { return {bytes_, ok() ? GlobalSize(medium_.hGlobal) : 0}; }
  HDROP drop() const { return static_cast<HDROP>(medium_.hGlobal); }

 private:
  STGMEDIUM medium_ = {};
  bool got_ = false;
  const uint8_t* bytes_ = nullptr;
};

// The block's text: up to its first zero byte, or the whole block.
std::string_view TextIn(std::span<const uint8_t> block) {
  auto end = std::find(block.begin(), block.end(), uint8_t(0));
  return {reinterpret_cast<const char*>(block.data()), size_t(end - block.begin())};
}

std::wstring Widen(UINT codePage, std::string_view bytes) {
  if (bytes.empty()) return {};
  int n = MultiByteToWideChar(codePage, 0, bytes.data(), int(bytes.size()), nullptr, 0);
  std::wstring wide(size_t(n), L'\0');
  MultiByteToWideChar(codePage, 0, bytes.data(), int(bytes.size()), wide.data(), n);
  return wide;
}

DroppedText ReadAnsi(IDataObject& data, AcceptedFormat format) {
  Medium medium(data, format);
  if (!medium.ok()) return {};
  return {rt::GbkFromWide(Widen(CP_ACP, TextIn(medium.bytes())))};
}

DroppedText ReadHtml(IDataObject& data, AcceptedFormat format) {
  Medium medium(data, format);
  if (!medium.ok()) return {};
  std::wstring html = Widen(CP_UTF8, TextIn(medium.bytes()));
  std::replace(html.begin(), html.end(), L'\u00A0', L' ');
  return {rt::GbkFromWide(html)};
}

// Whether a name list ends inside the block. Each name ends with a
// terminator and the list with an empty name, so the first two terminators
// in a row end it; an empty list has both as well, since the platform's
// reader looks one character past the first.
bool ListEndsInside(std::span<const uint8_t> list, size_t unit) {
  bool afterTerminator = false;
  for (size_t at = 0; at + unit <= list.size(); at += unit) {
    bool terminator = std::all_of(list.begin() + at, list.begin() + at + unit, [](uint8_t b) { return b == 0; });
    if (terminator && afterTerminator) return true;
    afterTerminator = terminator;
  }
  return false;
}

// DragQueryFileW trusts the block: a list that does not end inside it, or
// that starts outside it, is refused before it is read.
bool WellFormedFileList(std::span<const uint8_t> block) {
  DROPFILES header;
  if (block.size() < sizeof header) return false;
  std::memcpy(&header, block.data(), sizeof header);
  if (header.pFiles < sizeof header || header.pFiles > block.size()) return false;
  return ListEndsInside(block.subspan(header.pFiles), header.fWide ? sizeof(wchar_t) : 1);
}

// An empty list reads as one empty name on some systems: no name is empty.
std::vector<std::wstring> PathsIn(HDROP drop) {
  std::vector<std::wstring> paths;
  for (UINT i = 0, count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0); i < count; ++i) {
    std::wstring path(DragQueryFileW(drop, i, nullptr, 0), L'\0');
    DragQueryFileW(drop, i, path.data(), UINT(path.size() + 1));
    if (!path.empty()) paths.push_back(std::move(path));
  }
  return paths;
}

std::string JoinedPaths(const std::vector<std::string>& paths) {
  if (paths.size() == 1) return paths.front();
  std::string text;
  for (const std::string& path : paths) text += path + "\r\n";
  return text;
}

DroppedText ReadFiles(IDataObject& data, AcceptedFormat format) {
  Medium medium(data, format);
  if (!medium.ok() || !WellFormedFileList(medium.bytes())) return {};
  std::vector<std::wstring> paths = PathsIn(medium.drop());
  std::vector<std::string> kept;
  for (const std::wstring& path : paths)
    if (auto gbk = rt::ExactGbkFromWide(path)) kept.push_back(std::move(*gbk));
  return {JoinedPaths(kept), kept.size() < paths.size()};
}

using Reader = DroppedText (*)(IDataObject&, AcceptedFormat);
constexpr Reader kReaders[kAcceptedFormatCount] = {ReadAnsi, ReadHtml, ReadAnsi, ReadFiles};

}  // namespace

CLIPFORMAT ClipboardFormat(AcceptedFormat format) {
  static const CLIPFORMAT formats[kAcceptedFormatCount] = {CF_TEXT, Registered(L"HTML Format"),
                                                           Registered(L"UniformResourceLocator"), CF_HDROP};
  return formats[format];
}

bool Offers(IDataObject& data, AcceptedFormat format) {
  FORMATETC wanted = FormatEtc(format);
  return data.QueryGetData(&wanted) == S_OK;
}

bool Delivers(IDataObject& data, AcceptedFormat format) { return Medium(data, format).ok(); }

DroppedText ReadDropped(IDataObject& data, AcceptedFormat format) { return kReaders[format](data, format); }

}  // namespace lib::drag_drop
