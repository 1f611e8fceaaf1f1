#include <cstring>
#include <gtest/gtest.h>
#include <vector>

#include "common/BitmapFile.h"
#include "common/BitmapReader.h"

namespace orlinde {
namespace {

// A well-formed file of the given size whose pixel k holds bytes (k, k + 1, k + 2) in file order.
std::vector<std::uint8_t> MakeFile(int width, int height) {
  orlinde::Image24 image(width, height);
  std::vector<std::uint8_t> bytes = orlinde::EncodeBitmap24(image);
  const std::size_t stride = orlinde::BitmapRowStride(width);
  for (int row = 0; row < height; ++row)
    for (int x = 0; x < width; ++x)
      for (int c = 0; c < 3; ++c) bytes[54 + row * stride + x * 3 + c] = static_cast<std::uint8_t>(row * width + x + c);
  return bytes;
}

void PutLe32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t v) {
  for (int k = 0; k < 4; ++k) bytes[at + k] = static_cast<std::uint8_t>(v >> (8 * k));
}

BitmapPixels Read(const std::vector<std::uint8_t>& bytes) {
  MemorySource source(bytes.data(), bytes.size());
  return ReadBitmapFile(source);
}

TEST(SwapRedBlue, ExchangesFirstAndThirdByteOfEachGroupOnly) {
  std::uint8_t pixels[] = {10, 20, 30, 40, 50, 60, 70, 80, 90};
  SwapRedBlue(pixels, 2);
  const std::uint8_t expected[] = {30, 20, 10, 60, 50, 40, 70, 80, 90};
  EXPECT_EQ(0, std::memcmp(pixels, expected, sizeof pixels));
  SwapRedBlue(pixels, 0);
  EXPECT_EQ(0, std::memcmp(pixels, expected, sizeof pixels));
}

TEST(ReadBitmapFile, Reads256SquareWithZeroSizeImageAndSwapsToRgb) {
  std::vector<std::uint8_t> bytes = MakeFile(256, 256);
  PutLe32(bytes, 34, 0);  // biSizeImage 0: the size comes from width × height × 3
  bytes[54] = 10;
  bytes[55] = 20;
  bytes[56] = 30;
  const BitmapPixels bitmap = Read(bytes);
  ASSERT_EQ(196608u, bitmap.pixels.size());
  EXPECT_EQ(256, bitmap.width);
  EXPECT_EQ(256, bitmap.height);
  EXPECT_EQ(30, bitmap.pixels[0]);
  EXPECT_EQ(20, bitmap.pixels[1]);
  EXPECT_EQ(10, bitmap.pixels[2]);
  // The last pixel is swapped too.
  EXPECT_EQ(bytes.back(), bitmap.pixels[196608 - 3]);
  EXPECT_EQ(bytes[bytes.size() - 3], bitmap.pixels.back());
}

TEST(ReadBitmapFile, IgnoresTheHeaderOffsetAndSignatureAndReadsFromByte54) {
  std::vector<std::uint8_t> bytes = MakeFile(4, 2);
  PutLe32(bytes, 10, 1078);  // a colour-table offset that the reader must not follow
  bytes[0] = 'X';
  bytes[1] = 'Y';
  const BitmapPixels bitmap = Read(bytes);
  ASSERT_EQ(24u, bitmap.pixels.size());
  EXPECT_EQ(bytes[56], bitmap.pixels[0]);
  EXPECT_EQ(bytes[54], bitmap.pixels[2]);
}

TEST(ReadBitmapFile, CutShortInsidePixelsKeepsBufferUnswappedWithZeroTail) {
  std::vector<std::uint8_t> bytes = MakeFile(4, 4);
  bytes.resize(54 + 10);
  const BitmapPixels bitmap = Read(bytes);
  ASSERT_EQ(48u, bitmap.pixels.size());
  for (int k = 0; k < 10; ++k) EXPECT_EQ(bytes[54 + k], bitmap.pixels[k]) << k;
  for (std::size_t k = 10; k < bitmap.pixels.size(); ++k) EXPECT_EQ(0, bitmap.pixels[k]) << k;
}

TEST(ReadBitmapFile, PaddedRowsAreSwappedRowByRowAndKeepTheirPadding) {
  // 3 pixels a row: 9 bytes, padded to 12 in the file and in the buffer.
  std::vector<std::uint8_t> bytes = MakeFile(3, 2);
  ASSERT_EQ(54u + 24u, bytes.size());
  const BitmapPixels bitmap = Read(bytes);
  ASSERT_EQ(24u, bitmap.pixels.size());
  for (int row = 0; row < 2; ++row) {
    for (int x = 0; x < 3; ++x) {
      const std::size_t at = row * 12 + x * 3;
      EXPECT_EQ(bytes[54 + at + 2], bitmap.pixels[at]);
      EXPECT_EQ(bytes[54 + at + 1], bitmap.pixels[at + 1]);
      EXPECT_EQ(bytes[54 + at], bitmap.pixels[at + 2]);
    }
  }
}

struct Refusal {
  const char* name;
  std::size_t offset;  // 0 with size 0: cut the file instead
  std::uint32_t value;
  int fieldBytes;
};

class RefusedFile : public testing::TestWithParam<Refusal> {};

TEST_P(RefusedFile, GivesNoPixels) {
  std::vector<std::uint8_t> bytes = MakeFile(4, 4);
  const Refusal& r = GetParam();
  if (r.fieldBytes == 0) {
    bytes.resize(r.value);
  } else if (r.fieldBytes == 2) {
    bytes[r.offset] = static_cast<std::uint8_t>(r.value);
    bytes[r.offset + 1] = static_cast<std::uint8_t>(r.value >> 8);
  } else {
    PutLe32(bytes, r.offset, r.value);
  }
  EXPECT_TRUE(Read(bytes).pixels.empty()) << r.name;
}

INSTANTIATE_TEST_SUITE_P(OutsideTheAcceptedForm, RefusedFile,
                         testing::Values(Refusal{"empty", 0, 0, 0}, Refusal{"shorter than the headers", 0, 53, 0},
                                         Refusal{"zero width", 18, 0, 4}, Refusal{"negative width", 18, 0xFFFFFFFC, 4},
                                         Refusal{"zero height", 22, 0, 4}, Refusal{"top-down rows", 22, 0xFFFFFFFC, 4},
                                         Refusal{"wider than a texture", 18, 8193, 4},
                                         Refusal{"taller than a texture", 22, 8193, 4},
                                         Refusal{"huge width", 18, 0x7FFFFFFF, 4}, Refusal{"8 bits", 28, 8, 2},
                                         Refusal{"32 bits", 28, 32, 2}, Refusal{"run-length compressed", 30, 1, 4},
                                         Refusal{"colour table", 46, 16, 4},
                                         Refusal{"size smaller than the pixels", 34, 47, 4},
                                         Refusal{"size of a single byte", 34, 1, 4}),
                         [](const testing::TestParamInfo<Refusal>& info) {
                           std::string name = info.param.name;
                           for (char& c : name)
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           return name;
                         });

// A size equal to the rows or larger (bytes after the rows, a size rounded up, one that claims gigabytes):
// the rows alone are read, swapped, and nothing past them.
TEST(ReadBitmapFile, SizeImageAtLeastThePixelsReadsTheRowsAlone) {
  for (const std::uint32_t sizeImage : {48u, 49u, 148u, 0xFFFFFFF0u}) {
    std::vector<std::uint8_t> bytes = MakeFile(4, 4);
    PutLe32(bytes, 34, sizeImage);
    bytes.resize(bytes.size() + 100, 0xEE);
    MemorySource source(bytes.data(), bytes.size());
    const BitmapPixels read = ReadBitmapFile(source);
    ASSERT_EQ(48u, read.pixels.size()) << sizeImage;
    EXPECT_EQ(2, read.pixels[0]) << sizeImage;    // pixel 0, bytes (0, 1, 2) swapped
    EXPECT_EQ(15, read.pixels[47]) << sizeImage;  // pixel 15, bytes (15, 16, 17) swapped
    std::uint8_t next = 0;
    EXPECT_EQ(1u, source.Read(&next, 1)) << sizeImage;
    EXPECT_EQ(0xEE, next) << "the reader stops at the end of the rows; size " << sizeImage;
  }
}

}  // namespace
}  // namespace orlinde
