// Opening an address or a file with the desktop. Without a window (ENGINE_VIDEO
// other than "gl", which the engine start runs headless) nothing is started; the
// request is only logged.
#include "engine/os/VOs.h"

#include "engine/base/VisError.h"

#include <cerrno>
#include <cstdlib>
#include <string>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

bool IsHeadlessVideo() {
  const char* video = getenv("ENGINE_VIDEO");
  return !video || _stricmp(video, "gl") != 0;
}

// Double fork: the opener is adopted by init and never becomes our zombie.
bool SpawnDetached(const std::string& target) {
  pid_t child = fork();
  if (child < 0) return false;
  if (child == 0) {
    setsid();
    pid_t grandchild = fork();
    if (grandchild == 0) {
      char* const argv[] = {const_cast<char*>("xdg-open"), const_cast<char*>(target.c_str()), nullptr};
      execvp("xdg-open", argv);
      _exit(127);
    }
    _exit(grandchild < 0 ? 1 : 0);
  }
  int status = 0;
  pid_t done;
  do {
    done = waitpid(child, &status, 0);
  } while (done < 0 && errno == EINTR);
  if (done < 0) return false;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

bool VShellOpen(const char* target) {
  if (!target || !*target) return false;
  Vision::Error.WriteLine(std::string("Shell open: ") + target);
  if (IsHeadlessVideo()) return true;
  // xdg-open would read a leading minus sign as one of its options.
  if (target[0] == '-') return false;
  return SpawnDetached(target);
}

bool VShellOpenW(const wchar_t* target) {
  if (!target) return false;
  return VShellOpen(VWideToUTF8(target).c_str());
}
