// The Command button's stored property set: arbitrary keys and values handed to ReadProperties (as a saved
// layout that was edited or damaged), then the set the control writes back, read into a second control. The
// control must come out with a sound state, and what it saved must restore the same properties.
#include <cstddef>
#include <cstdint>
#include <fuzzer/FuzzedDataProvider.h>
#include <memory>
#include <string>

#include "host/button/Command.h"
#include "host/button/CommandProperties.h"
#include "tests/fuzz/FuzzCheck.h"
#include "tests/unit/button/TestSupport.h"

namespace {

const char* const kKeys[] = {"Enabled", "Caption", "Font", "FirstRun", "FontColour", "Visible", "enabled", "FONT"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace orlinde::button;
  FuzzedDataProvider input(data, size);
  MemoryPropertyBag bag;
  const int entries = input.ConsumeIntegralInRange(0, 12);
  for (int i = 0; i < entries && input.remaining_bytes() > 0; ++i) {
    const std::string key = input.ConsumeBool() ? std::string(kKeys[input.ConsumeIntegralInRange<std::size_t>(0, 7)])
                                                : input.ConsumeRandomLengthString(16);
    bag.Write(key, input.ConsumeRandomLengthString(80));
  }
  // The font codec on its own: whatever decodes, encodes to text that decodes to the same font.
  if (const auto font = DecodeFont(input.ConsumeRandomLengthString(80))) {
    FUZZ_CHECK(DecodeFont(EncodeFont(*font)) == font);
  }

  FontDesc ambient;
  ambient.faceName = "MS UI Gothic";
  static const auto images = buttontest::GeneratedImages();
  CommandHost host;
  Command first(host, images);
  first.ReadProperties(bag, ambient);
  FUZZ_CHECK(first.FaceMode() == 0 || first.FaceMode() == 1);

  MemoryPropertyBag saved;
  first.WriteProperties(saved, ambient);
  Command second(host, images);
  second.ReadProperties(saved, ambient);
  FUZZ_CHECK(second.Caption() == first.Caption() ||
             (first.Caption() == kCaptionWriteDefault && second.Caption() == kCaptionReadDefault));
  FUZZ_CHECK(second.Font() == first.Font());
  FUZZ_CHECK(second.EnabledField() == first.EnabledField());
  FUZZ_CHECK(second.FirstRun() == first.FirstRun());
  FUZZ_CHECK(second.FaceMode() == first.FaceMode());
  FUZZ_CHECK(second.FontColour() == first.FontColour());
  return 0;
}
