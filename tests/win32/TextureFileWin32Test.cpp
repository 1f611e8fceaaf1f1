// The renderer's hand-over file opened as the renderer opens it: read sharing only, so that a file another
// program still holds open for writing is refused, even when that program lets others read and write it
// (the C library's fopen shares writing too and would read such a file half written).
#include <windows.h>

#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "common/BitmapFile.h"
#include "renderer/TextureFileWin32.h"
#include "common/TextureFile.h"

namespace orlinde::renderer {
namespace {

class HandOverFile : public testing::Test {
 protected:
  void SetUp() override {
    char temp[MAX_PATH + 1] = {};
    ASSERT_GT(GetTempPathA(sizeof temp, temp), 0u);
    path = std::string(temp) + "orlinde-handover-" + std::to_string(GetCurrentProcessId()) + ".bmp";
    const std::vector<std::uint8_t> bytes = EncodeBitmap24(Image24(8, 4));
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    ASSERT_EQ(written, bytes.size());
  }
  void TearDown() override { DeleteFileA(path.c_str()); }

  // Opens the file as a writer would, with the given sharing; the caller closes the handle.
  HANDLE HoldForWriting(DWORD share) {
    return CreateFileA(path.c_str(), GENERIC_WRITE, share, nullptr, OPEN_EXISTING, 0, nullptr);
  }

  std::string path;
  Win32FileOpener files;
};

TEST_F(HandOverFile, AFileNoOneWritesIsReadWholeAndAMissingOneIsRefused) {
  const TextureFile read = ReadTextureFile(files, path);
  EXPECT_EQ(TextureProblem::kNone, read.problem);
  EXPECT_EQ(8, read.bitmap.width);
  EXPECT_EQ(8u * 4 * 3, read.bitmap.pixels.size());

  const TextureFile missing = ReadTextureFile(files, path + ".none");
  EXPECT_EQ(TextureProblem::kCannotOpen, missing.problem);
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, missing.systemError);

  // Another reader that shares reading does not stand in the way.
  const HANDLE reader = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(reader, INVALID_HANDLE_VALUE);
  EXPECT_EQ(TextureProblem::kNone, ReadTextureFile(files, path).problem);
  CloseHandle(reader);
}

TEST_F(HandOverFile, AFileHeldOpenForWritingIsRefusedWhateverTheWriterShares) {
  for (const DWORD share : {DWORD{0}, DWORD{FILE_SHARE_READ}, DWORD{FILE_SHARE_READ | FILE_SHARE_WRITE}}) {
    const HANDLE writer = HoldForWriting(share);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE) << share;
    const TextureFile held = ReadTextureFile(files, path);
    EXPECT_EQ(TextureProblem::kCannotOpen, held.problem) << "writer sharing " << share;
    EXPECT_EQ(ERROR_SHARING_VIOLATION, held.systemError) << "writer sharing " << share;
    EXPECT_TRUE(held.bitmap.pixels.empty());
    CloseHandle(writer);
  }
  EXPECT_EQ(TextureProblem::kNone, ReadTextureFile(files, path).problem) << "readable again once the writer is gone";
}

}  // namespace
}  // namespace orlinde::renderer
