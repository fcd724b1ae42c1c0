#include "windows/window_properties.h"

#include "windows/blob.h"

namespace win {

// An empty blob gives the defaults, as every unit type's does.
std::optional<WindowProperties> ReadWindowBlob(std::span<const uint8_t> blob) {
  BlobReader in(blob);
  WindowProperties p;
  if (blob.empty()) return p;
  uint32_t version = in.word();
  if (!in.ok() || version > kWindowBlobVersion) return std::nullopt;
  p.borderStyle = in.word();
  p.pictureMode = in.word();
  p.backgroundColor = in.word();
  p.maximizeButton = in.word() != 0;
  p.minimizeButton = in.word() != 0;
  p.controlBox = in.word() != 0;
  p.position = in.word();
  p.closeEnabled = in.word() != 0;
  p.musicPlayMode = in.word();
  p.enterMovesFocus = in.word() != 0;
  p.escCloses = in.word() != 0;
  p.f1OpensHelp = in.word() != 0;
  p.helpContext = in.word();
  if (version > 1) p.showInTaskbar = in.word() != 0;
  if (version > 2) {
    p.dragAnywhere = in.word() != 0;
    p.shape = in.word();
  }
  if (version > 3) p.alwaysOnTop = in.word() != 0;
  if (version > 4) p.option = in.word() != 0;
  if (version > 5) p.className = in.countedText();
  p.backgroundPicture = in.countedBytes();
  p.icon = in.countedBytes();
  p.backgroundMusic = in.countedBytes();
  p.title = in.countedText();
  p.helpFile = in.countedText();
  if (!in.ok()) return std::nullopt;
  return p;
}

std::vector<uint8_t> WriteWindowBlob(const WindowProperties& p) {
  BlobWriter out;
  out.word(kWindowBlobVersion).word(p.borderStyle).word(p.pictureMode).word(p.backgroundColor);
  out.word(p.maximizeButton).word(p.minimizeButton).word(p.controlBox).word(p.position).word(p.closeEnabled);
  out.word(p.musicPlayMode).word(p.enterMovesFocus).word(p.escCloses).word(p.f1OpensHelp).word(p.helpContext);
  out.word(p.showInTaskbar).word(p.dragAnywhere).word(p.shape).word(p.alwaysOnTop).word(p.option);
  out.countedText(p.className).countedBytes(p.backgroundPicture).countedBytes(p.icon).countedBytes(p.backgroundMusic);
  out.countedText(p.title).countedText(p.helpFile);
  return out.take();
}

}  // namespace win
