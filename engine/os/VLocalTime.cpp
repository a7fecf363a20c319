// Local wall-clock time, or a time a test has fixed.
#include "engine/os/VOs.h"

#include <ctime>
#include <mutex>
#include <optional>

namespace {

std::mutex g_mutex;
std::optional<VLocalTime> g_fixed;

}  // namespace

VLocalTime VGetLocalTime() {
  {
    std::lock_guard<std::mutex> lock(g_mutex);
    if (g_fixed) return *g_fixed;
  }
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  tm local{};
  const time_t seconds = now.tv_sec;
  localtime_r(&seconds, &local);
  VLocalTime out;
  out.year = local.tm_year + 1900;
  out.month = local.tm_mon + 1;
  out.day = local.tm_mday;
  out.hour = local.tm_hour;
  out.minute = local.tm_min;
  // A leap second reads as the 59th, as the Windows clock gives it.
  out.second = local.tm_sec > 59 ? 59 : local.tm_sec;
  out.milliseconds = (int)(now.tv_nsec / 1000000);
  return out;
}

void VSetFixedLocalTime(const VLocalTime* time) {
  std::lock_guard<std::mutex> lock(g_mutex);
  if (time)
    g_fixed = *time;
  else
    g_fixed.reset();
}
