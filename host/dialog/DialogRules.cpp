#include "host/dialog/DialogRules.h"

#include <optional>

#include "host/button/NumberText.h"

namespace orlinde::dialog {

SourceControls ControlsForSource(std::int16_t kind) {
  SourceControls controls;
  if (kind >= 0 && kind < 3) controls.ticked[static_cast<std::size_t>(kind)] = true;
  controls.repeatEnabled = kind == kBgmCd;
  controls.fileButtonEnabled = kind == kBgmFile;
  return controls;
}

std::string FormatDigitMask(std::int32_t value) {
  return value == 0 ? std::string() : std::to_string(value);
}

std::vector<std::string> RepeatListEntries() {
  std::vector<std::string> entries;
  entries.reserve(kRepeatListEntries);
  for (int track = 0; track < kRepeatListEntries; ++track) entries.push_back(FormatDigitMask(track));
  return entries;
}

std::int16_t TrackTextToRepeat(std::string_view text) {
  return TextToInt16(text).value_or(0);
}

std::string FilterBlock(std::string_view description, std::string_view pattern) {
  std::string block(description);
  block.push_back('\0');
  block.append(pattern);
  block.push_back('\0');
  block.push_back('\0');
  return block;
}

std::string PathFromFileBuffer(const char* buffer, std::size_t bytes) {
  std::size_t length = 0;
  while (length < bytes && buffer[length] != '\0') ++length;
  return std::string(buffer, length);
}

Point DialogPosition(int screenWidth, int screenHeight, int windowWidth, int windowHeight) {
  return {(screenWidth - windowWidth) / 2, (screenHeight - windowHeight) / 3};
}

}  // namespace orlinde::dialog
