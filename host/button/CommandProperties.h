// The button's stored property set: the keys, how each value is written as text, and a small bag
// interface through which the container hands a set in (to restore an instance) and out (to save one).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace orlinde::button {

// The control's class name in a stored layout.
inline constexpr char kClassName[] = "Velsora.Command";

namespace key {
inline constexpr char kEnabled[] = "Enabled";
inline constexpr char kCaption[] = "Caption";
inline constexpr char kFont[] = "Font";
inline constexpr char kFirstRun[] = "FirstRun";
inline constexpr char kFontColour[] = "FontColour";
inline constexpr char kVisible[] = "Visible";
}  // namespace key

// Defaults: reading a set without "Caption" gives "Command1"; writing leaves out a caption of "Command".
inline constexpr char kCaptionReadDefault[] = "Command1";
inline constexpr char kCaptionWriteDefault[] = "Command";
inline constexpr char kCaptionDesign[] = "Command";

// A whole font: what the caption element takes when a font is set or restored.
struct FontDesc {
  std::string faceName;       // UTF-8
  int sizeCentipoints = 975;  // hundredths of a point: 9.75 pt is 975
  int weight = 400;           // 400 regular, 700 bold
  bool italic = false;
  bool underline = false;
  bool strikethrough = false;
  int charset = 0;  // 128 is Shift-JIS
  bool operator==(const FontDesc&) const = default;
};

// "size,weight,italic,underline,strikethrough,charset,face": numbers first, the face name last so that
// it may hold commas. Decoding gives nullopt for text not in that form.
std::string EncodeFont(const FontDesc& font);
std::optional<FontDesc> DecodeFont(std::string_view text);

// A stored property set. Keys are matched without regard to ASCII case.
class PropertyBag {
 public:
  virtual ~PropertyBag() = default;
  virtual std::optional<std::string> Read(std::string_view key) const = 0;
  virtual void Write(std::string_view key, std::string_view value) = 0;
  // Values equal to their default are not stored: writing one removes a value an earlier save left.
  virtual void Remove(std::string_view key) = 0;
};

// A property set in memory, keys kept in lower case as stored layouts hold them, in order of first write.
class MemoryPropertyBag : public PropertyBag {
 public:
  std::optional<std::string> Read(std::string_view key) const override;
  void Write(std::string_view key, std::string_view value) override;
  void Remove(std::string_view key) override;
  const std::vector<std::pair<std::string, std::string>>& Entries() const { return entries_; }

 private:
  std::vector<std::pair<std::string, std::string>> entries_;
};

}  // namespace orlinde::button
