// What every shell of the Linux program does the same way before and around its loop: refuse with one line
// on stderr and status 1, read the texture the options name, and turn SIGTERM, SIGINT and SIGHUP into a
// quiet end that wakes the loop's poll() at once.
#pragma once

#include <string>

#include "common/BitmapReader.h"

namespace orlinde {

// "orlinde: TEXT" on stderr, then status 1.
[[noreturn]] void Fail(const std::string& text);

// The picture `path` names (empty: the built-in caustics picture); fails with a line saying why.
BitmapPixels ReadTexture(const std::string& path);

// From here on the three signals set Signalled() and make WakeFd() readable.
void CatchEndingSignals();
bool Signalled();
int WakeFd();
// Empties the wake pipe after a poll().
void DrainWake();

}  // namespace orlinde
