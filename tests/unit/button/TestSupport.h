// A recording host and the generated state images, shared by the button tests.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host/button/Command.h"
#include "tools/assetgen/AssetGen.h"

namespace buttontest {

struct RecordingHost : orlinde::button::CommandHost {
  std::vector<std::string> changed;
  int clicks = 0;
  std::vector<unsigned> timers;
  int refreshes = 0;  // each repaint of the face asks for one
  void Refresh() override { ++refreshes; }
  void PropertyChanged(std::string_view name) override { changed.emplace_back(name); }
  void Click() override { ++clicks; }
  void StartMouseTimer(unsigned ms) override { timers.push_back(ms); }
};

inline orlinde::PixelBuffer ToPixels(const orlinde::Image24& image) {
  return orlinde::PixelBuffer::FromRgb24(image.width, image.height, image.rgb.data(), image.rgb.size());
}

inline std::shared_ptr<const orlinde::button::ButtonImages> GeneratedImages() {
  using orlinde::button::ButtonImage;
  auto images = std::make_shared<orlinde::button::ButtonImages>();
  (*images)[ButtonImage::Normal] = ToPixels(assetgen::MakeButtonNormal());
  (*images)[ButtonImage::HighLight] = ToPixels(assetgen::MakeButtonHighLight());
  (*images)[ButtonImage::Pressed] = ToPixels(assetgen::MakeButtonPressed());
  (*images)[ButtonImage::Disable] = ToPixels(assetgen::MakeButtonDisable());
  (*images)[ButtonImage::Selected] = ToPixels(assetgen::MakeButtonSelected());
  (*images)[ButtonImage::HighLightSelect] = ToPixels(assetgen::MakeButtonHighLightSelect());
  return images;
}

}  // namespace buttontest
