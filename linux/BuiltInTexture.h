// The built-in caustics picture (assets/caustics.bmp), compiled into the Linux program as the bytes of the
// file; the bitmap reader reads it from memory when no --texture is given.
#pragma once

#include <cstddef>
#include <cstdint>

namespace orlinde {

extern const std::uint8_t kBuiltInCaustics[];
extern const std::size_t kBuiltInCausticsSize;

}  // namespace orlinde
