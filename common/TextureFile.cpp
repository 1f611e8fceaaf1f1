#include "common/TextureFile.h"

#include <cerrno>
#include <cstdio>

namespace orlinde {
namespace {

class StdioFile final : public ReadableFile {
 public:
  explicit StdioFile(std::FILE* file) : file_(file) {}
  ~StdioFile() override { std::fclose(file_); }
  StdioFile(const StdioFile&) = delete;
  StdioFile& operator=(const StdioFile&) = delete;

  std::size_t Read(std::uint8_t* into, std::size_t count) override {
    const std::size_t got = std::fread(into, 1, count, file_);
    if (got < count && std::ferror(file_) && error_ == 0) error_ = errno != 0 ? errno : EIO;
    return got;
  }
  int ReadError() const override { return error_; }

 private:
  std::FILE* file_;
  int error_ = 0;
};

}  // namespace

std::unique_ptr<ReadableFile> StdioFileOpener::OpenForReading(const std::string& path, int& error) {
  error = 0;
  if (path.empty()) {
    error = ENOENT;
    return nullptr;
  }
  errno = 0;
#ifdef _MSC_VER
#pragma warning(suppress : 4996)  // fopen: the path is the system's own, in its code page
#endif
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) {
    error = errno != 0 ? errno : ENOENT;
    return nullptr;
  }
  return std::make_unique<StdioFile>(file);
}

TextureFile ReadTextureFile(FileOpener& files, const std::string& path) {
  TextureFile result;
  int error = 0;
  std::unique_ptr<ReadableFile> file = files.OpenForReading(path, error);
  if (file == nullptr) {
    result.problem = TextureProblem::kCannotOpen;
    result.systemError = error;
    return result;
  }
  result.bitmap = ReadBitmapFile(*file);
  if (file->ReadError() != 0) {
    result.problem = TextureProblem::kReadFailed;
    result.systemError = file->ReadError();
  } else if (result.bitmap.pixels.empty()) {
    result.problem = TextureProblem::kNotABitmap;
  }
  return result;
}

}  // namespace orlinde
