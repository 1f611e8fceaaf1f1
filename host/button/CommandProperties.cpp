#include "host/button/CommandProperties.h"

#include <algorithm>
#include <cctype>

#include "host/button/NumberText.h"

namespace orlinde::button {

namespace {

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

}  // namespace

std::string EncodeFont(const FontDesc& font) {
  return std::to_string(font.sizeCentipoints) + "," + std::to_string(font.weight) + "," + (font.italic ? "1" : "0") +
         "," + (font.underline ? "1" : "0") + "," + (font.strikethrough ? "1" : "0") + "," +
         std::to_string(font.charset) + "," + font.faceName;
}

std::optional<FontDesc> DecodeFont(std::string_view text) {
  std::string_view fields[6];
  for (std::string_view& field : fields) {
    const std::size_t comma = text.find(',');
    if (comma == std::string_view::npos) return std::nullopt;
    field = text.substr(0, comma);
    text.remove_prefix(comma + 1);
  }
  const std::optional<std::int32_t> size = TextToInt32(fields[0]), weight = TextToInt32(fields[1]);
  const std::optional<bool> italic = TextToBoolean(fields[2]), underline = TextToBoolean(fields[3]),
                            strike = TextToBoolean(fields[4]);
  const std::optional<std::uint8_t> charset = TextToByte(fields[5]);
  if (!size || *size <= 0 || !weight || *weight < 0 || *weight > 1000 || !italic || !underline || !strike || !charset) {
    return std::nullopt;
  }
  return FontDesc{std::string(text), *size, *weight, *italic, *underline, *strike, *charset};
}

std::optional<std::string> MemoryPropertyBag::Read(std::string_view key) const {
  const std::string k = Lower(key);
  for (const auto& [name, value] : entries_) {
    if (name == k) return value;
  }
  return std::nullopt;
}

void MemoryPropertyBag::Write(std::string_view key, std::string_view value) {
  const std::string k = Lower(key);
  for (auto& [name, stored] : entries_) {
    if (name == k) {
      stored = value;
      return;
    }
  }
  entries_.emplace_back(k, std::string(value));
}

void MemoryPropertyBag::Remove(std::string_view key) {
  const std::string k = Lower(key);
  std::erase_if(entries_, [&](const auto& entry) { return entry.first == k; });
}

}  // namespace orlinde::button
