// The texture file reader: the pixels, or why there are none, from a table of bytes and from real files.
#include <cerrno>
#include <cstring>
#include <fstream>
#include <gtest/gtest.h>
#include <map>

#include "common/TextureFile.h"

namespace orlinde {
namespace {

// Files as a table of bytes; a file may fail its reads after a number of bytes.
class FakeFiles final : public FileOpener {
 public:
  struct Entry {
    std::vector<std::uint8_t> bytes;
    std::size_t failAfter = SIZE_MAX;
  };
  std::unique_ptr<ReadableFile> OpenForReading(const std::string& path, int& error) override {
    const auto found = files.find(path);
    if (found == files.end()) {
      error = ENOENT;
      return nullptr;
    }
    error = 0;
    return std::make_unique<File>(found->second);
  }
  std::map<std::string, Entry> files;

 private:
  class File final : public ReadableFile {
   public:
    explicit File(const Entry& entry) : entry_(entry) {}
    std::size_t Read(std::uint8_t* into, std::size_t count) override {
      if (position_ >= entry_.failAfter) {
        error_ = EIO;
        return 0;
      }
      std::size_t n = std::min(count, entry_.bytes.size() - position_);
      n = std::min(n, entry_.failAfter - position_);
      std::memcpy(into, entry_.bytes.data() + position_, n);
      position_ += n;
      return n;
    }
    int ReadError() const override { return error_; }

   private:
    const Entry& entry_;
    std::size_t position_ = 0;
    int error_ = 0;
  };
};

std::vector<std::uint8_t> Caustics() {
  std::ifstream in(std::string(ORLINDE_SOURCE_DIR) + "/assets/caustics.bmp", std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

TEST(TextureFileTest, GivesThePixelsOrWhyThereAreNone) {
  FakeFiles files;
  const std::vector<std::uint8_t> good = Caustics();
  ASSERT_GT(good.size(), 54u);
  files.files["good.bmp"] = {good};
  files.files["short.bmp"] = {std::vector<std::uint8_t>(good.begin(), good.begin() + 1000)};
  files.files["headers.bmp"] = {std::vector<std::uint8_t>(good.begin(), good.begin() + 40)};
  files.files["failing.bmp"] = {good, 5000};

  const TextureFile read = ReadTextureFile(files, "good.bmp");
  EXPECT_EQ(TextureProblem::kNone, read.problem);
  EXPECT_EQ(256, read.bitmap.width);
  EXPECT_EQ(256u * 256 * 3, read.bitmap.pixels.size());

  const TextureFile cut = ReadTextureFile(files, "short.bmp");
  EXPECT_EQ(TextureProblem::kNone, cut.problem) << "a file cut short in its pixels keeps what was read";
  EXPECT_FALSE(cut.bitmap.pixels.empty());

  const TextureFile missing = ReadTextureFile(files, "missing.bmp");
  EXPECT_EQ(TextureProblem::kCannotOpen, missing.problem);
  EXPECT_EQ(ENOENT, missing.systemError);
  EXPECT_TRUE(missing.bitmap.pixels.empty());

  const TextureFile failing = ReadTextureFile(files, "failing.bmp");
  EXPECT_EQ(TextureProblem::kReadFailed, failing.problem);
  EXPECT_EQ(EIO, failing.systemError);

  EXPECT_EQ(TextureProblem::kNotABitmap, ReadTextureFile(files, "headers.bmp").problem);
}

TEST(TextureFileTest, ReadsRealFilesThroughStdio) {
  StdioFileOpener files;
  const std::string good = std::string(ORLINDE_SOURCE_DIR) + "/assets/caustics.bmp";
  const TextureFile read = ReadTextureFile(files, good);
  EXPECT_EQ(TextureProblem::kNone, read.problem);
  EXPECT_EQ(Caustics().size() - 54, read.bitmap.pixels.size());

  const TextureFile missing = ReadTextureFile(files, std::string(ORLINDE_SOURCE_DIR) + "/no such file.bmp");
  EXPECT_EQ(TextureProblem::kCannotOpen, missing.problem);
  EXPECT_EQ(ENOENT, missing.systemError);
  EXPECT_EQ(TextureProblem::kCannotOpen, ReadTextureFile(files, "").problem);
  const TextureFile folder = ReadTextureFile(files, ORLINDE_SOURCE_DIR);
  EXPECT_NE(TextureProblem::kNone, folder.problem) << "a folder is no picture";
}

}  // namespace
}  // namespace orlinde
