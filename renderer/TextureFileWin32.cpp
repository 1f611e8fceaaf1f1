#include "renderer/TextureFileWin32.h"
#include <windows.h>

#include <algorithm>

namespace orlinde::renderer {
namespace {

class Win32File final : public ReadableFile {
 public:
  explicit Win32File(HANDLE file) : file_(file) {}
  ~Win32File() override { CloseHandle(file_); }
  Win32File(const Win32File&) = delete;
  Win32File& operator=(const Win32File&) = delete;

  std::size_t Read(std::uint8_t* into, std::size_t count) override {
    // ReadFile takes at most a DWORD's worth at once; the reader asks again for the rest.
    const DWORD asked = static_cast<DWORD>(std::min<std::size_t>(count, MAXDWORD));
    DWORD got = 0;
    if (!ReadFile(file_, into, asked, &got, nullptr)) {
      if (error_ == 0) error_ = static_cast<int>(GetLastError());
      return 0;
    }
    return got;
  }
  int ReadError() const override { return error_; }

 private:
  HANDLE file_;
  int error_ = 0;
};

}  // namespace

std::unique_ptr<ReadableFile> Win32FileOpener::OpenForReading(const std::string& path, int& error) {
  error = 0;
  const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    error = static_cast<int>(GetLastError());
    if (error == 0) error = ERROR_FILE_NOT_FOUND;
    return nullptr;
  }
  return std::make_unique<Win32File>(file);
}

}  // namespace orlinde::renderer
