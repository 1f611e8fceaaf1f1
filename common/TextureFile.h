// Reads a texture bitmap file by its path: the pixels, or why there are none. Both programs read their
// picture through this (the Windows renderer the hand-over file, the Linux program --texture); what
// each does about a failure is its own business.
#pragma once

#include <memory>
#include <string>

#include "common/BitmapReader.h"

namespace orlinde {

// A file open for reading.
class ReadableFile : public ByteSource {
 public:
  // The system's error number of a read that failed (not the file's end); 0 while none has.
  virtual int ReadError() const = 0;
};

// Where files are opened: the C library's files in the programs, a table of bytes in tests.
class FileOpener {
 public:
  virtual ~FileOpener() = default;
  // Null with `error` set to the system's error number when the file cannot be opened.
  virtual std::unique_ptr<ReadableFile> OpenForReading(const std::string& path, int& error) = 0;
};

// Files through the C library's stdio (fopen/fread), which both systems offer.
class StdioFileOpener final : public FileOpener {
 public:
  std::unique_ptr<ReadableFile> OpenForReading(const std::string& path, int& error) override;
};

enum class TextureProblem {
  kNone,
  kCannotOpen,   // missing, not allowed, held by another program, no path at all
  kReadFailed,   // opened, then a read failed
  kNotABitmap,   // read, but not a 24-bit uncompressed bitmap the reader accepts
};

struct TextureFile {
  BitmapPixels bitmap;  // empty unless the problem is kNone (or a read failed after some pixels)
  TextureProblem problem = TextureProblem::kNone;
  int systemError = 0;  // with kCannotOpen and kReadFailed
};

// Opens `path`, reads it with ReadBitmapFile and closes it. A file cut short inside its pixels is no
// problem (the reader keeps what it read); a read error is, even when some pixels came before it.
TextureFile ReadTextureFile(FileOpener& files, const std::string& path);

}  // namespace orlinde
