// CommonDlg: a unit without a window of its own that describes one of the
// platform's common dialogs (open file, save file, font, help). It keeps a
// small hidden window so that, like every unit, it has a handle.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "windows/unit_type.h"

namespace units {

constexpr const char* kCommonDlgName = "通用对话框";
constexpr const char* kCommonDlgEnglishName = "CommonDlg";
constexpr uint32_t kCommonDlgState = 0x80008040;
constexpr int32_t kCommonDlgPropertyCount = 30;
extern const win::PropertyDescriptor kCommonDlgProperties[kCommonDlgPropertyCount];
void* CommonDlgInterface(int number);

constexpr uint32_t kCommonDlgVersion = 1;

struct CommonDlgProperties {
  int32_t dialogKind = 0;  // 0 open file, 1 save file, 2 font, 3 help
  std::string title;
  std::string fileName;
  std::string filter;  // description and pattern pairs, separated by "|"
  int32_t filterIndex = 0;
  std::string initialDirectory;
  std::string defaultExtension;
  int32_t createPrompt = 0;
  int32_t fileMustExist = 1;
  int32_t overwritePrompt = 1;
  int32_t pathMustExist = 1;
  int32_t keepDirectory = 0;
  uint32_t fontColor = 0;
  int32_t bold = 0;
  int32_t italic = 0;
  int32_t strikeout = 0;
  int32_t underline = 0;
  std::string fontName;
  int32_t fontSize = 0;  // points; 0 = not given
  std::string helpFile;
  int32_t helpCommand = 0;
  int32_t helpTopic = 0;
};

std::optional<CommonDlgProperties> ReadCommonDlgBlob(std::span<const uint8_t> blob);
std::vector<uint8_t> WriteCommonDlgBlob(const CommonDlgProperties& properties);

}  // namespace units
