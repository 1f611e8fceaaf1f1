#include "linux/ProgramStart.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "linux/BuiltInTexture.h"
#include "common/TextureFile.h"

namespace orlinde {
namespace {

// Set from the signal handler (which may touch nothing else); the pipe wakes the loop at once.
volatile sig_atomic_t g_signalled = 0;
int g_wakePipe[2] = {-1, -1};

void OnSignal(int) {
  const int saved = errno;
  g_signalled = 1;
  if (g_wakePipe[1] >= 0) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = write(g_wakePipe[1], &byte, 1);
  }
  errno = saved;
}

}  // namespace

void Fail(const std::string& text) {
  std::fprintf(stderr, "orlinde: %s\n", text.c_str());
  std::exit(1);
}

BitmapPixels ReadTexture(const std::string& path) {
  if (path.empty()) {
    MemorySource source(kBuiltInCaustics, kBuiltInCausticsSize);
    return ReadBitmapFile(source);
  }
  StdioFileOpener files;
  TextureFile file = ReadTextureFile(files, path);
  switch (file.problem) {
    case TextureProblem::kNone:
      break;
    case TextureProblem::kCannotOpen:
    case TextureProblem::kReadFailed:
      Fail("cannot read the texture \"" + path + "\": " + std::strerror(file.systemError));
    case TextureProblem::kNotABitmap:
      Fail("the texture \"" + path + "\" is not a 24-bit uncompressed bitmap");
  }
  return std::move(file.bitmap);
}

void CatchEndingSignals() {
  if (pipe2(g_wakePipe, O_CLOEXEC | O_NONBLOCK) != 0) Fail(std::string("cannot make a pipe: ") + std::strerror(errno));
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  for (const int signal : {SIGTERM, SIGINT, SIGHUP}) sigaction(signal, &action, nullptr);
}

bool Signalled() { return g_signalled != 0; }

int WakeFd() { return g_wakePipe[0]; }

void DrainWake() {
  char drained[16];
  while (read(g_wakePipe[0], drained, sizeof drained) > 0) {
  }
}

}  // namespace orlinde
