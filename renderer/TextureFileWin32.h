// The renderer's files on Windows: opened with CreateFileA for reading with read sharing only, so that a
// hand-over picture another program still holds open for writing is refused as a missing one is, rather
// than read half written. What the bytes mean is the portable reader's business (common/TextureFile.h).
#pragma once

#include <memory>
#include <string>

#include "common/TextureFile.h"

namespace orlinde::renderer {

// CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, no security attributes, OPEN_EXISTING, attributes 0,
// no template), read with ReadFile and closed with CloseHandle. The error numbers are GetLastError's.
class Win32FileOpener final : public FileOpener {
 public:
  std::unique_ptr<ReadableFile> OpenForReading(const std::string& path, int& error) override;
};

}  // namespace orlinde::renderer
