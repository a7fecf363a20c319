// Small runtime services the game takes from the C runtime and the system:
// sleeping, case-blind compares, 64-bit parsing, a seeded random source.
#include "engine/os/VOs.h"

#include "engine/base/VisFile.h"

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <mutex>
#include <sched.h>
#include <string>
#include <strings.h>
#include <thread>
#include <unistd.h>

void VSleep(unsigned milliseconds) { VSleepNanoseconds((uint64_t)milliseconds * 1000000ull); }

void VSleepNanoseconds(uint64_t nanoseconds) {
  if (nanoseconds == 0) {
    sched_yield();
    return;
  }
  timespec wait{(time_t)(nanoseconds / 1000000000ull), (long)(nanoseconds % 1000000000ull)};
  while (nanosleep(&wait, &wait) != 0 && errno == EINTR) {
  }
}

int _stricmp(const char* a, const char* b) {
  if (!a || !b) return a == b ? 0 : (a ? 1 : -1);
  return strcasecmp(a, b);
}

int _strnicmp(const char* a, const char* b, size_t n) {
  if (!a || !b) return a == b ? 0 : (a ? 1 : -1);
  return strncasecmp(a, b, n);
}

long long _atoi64(const char* s) {
  if (!s) return 0;
  // strtoll saturates instead of overflowing.
  return strtoll(s, nullptr, 10);
}

namespace {

// The usual 32-bit linear congruential generator; bits 16..30 give 0..32767.
struct RandomState {
  std::mutex lock;
  uint32_t seed = 1;
};

RandomState& Random() {
  static RandomState state;
  return state;
}

}  // namespace

int VRandomInt() {
  RandomState& r = Random();
  std::lock_guard<std::mutex> guard(r.lock);
  r.seed = r.seed * 214013u + 2531011u;
  return (int)((r.seed >> 16) & V_RAND_MAX);
}

void VSeedRandom(unsigned seed) {
  RandomState& r = Random();
  std::lock_guard<std::mutex> guard(r.lock);
  r.seed = seed;
}

int VGetProcessorCount() {
  long n = sysconf(_SC_NPROCESSORS_ONLN);
  if (n < 1) n = (long)std::thread::hardware_concurrency();
  return n < 1 ? 1 : (int)n;
}

std::string VGetModuleFileName() { return VisionAppHelpers::GetEXEPath(); }
