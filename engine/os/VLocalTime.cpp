// Local wall-clock time, or a time a test has fixed.
#include "engine/os/VOs.h"

#include "engine/base/VisError.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <mutex>
#include <optional>
#include <string>

namespace {

std::mutex g_mutex;
std::optional<VLocalTime> g_fixed;

// The time the ENGINE_LOCAL_TIME switch gives, when it is set and well formed.
std::optional<VLocalTime> SwitchTime() {
  const char* text = getenv("ENGINE_LOCAL_TIME");
  if (!text || !*text) return std::nullopt;
  VLocalTime t;
  int used = 0;
  const bool parsed = sscanf(text, "%d-%d-%d %d:%d:%d.%d%n", &t.year, &t.month, &t.day, &t.hour, &t.minute, &t.second,
                             &t.milliseconds, &used) == 7 &&
                      text[used] == '\0';
  if (parsed && t.month >= 1 && t.month <= 12 && t.day >= 1 && t.day <= 31 && t.hour >= 0 && t.hour <= 23 &&
      t.minute >= 0 && t.minute <= 59 && t.second >= 0 && t.second <= 59 && t.milliseconds >= 0 && t.milliseconds <= 999)
    return t;
  static std::string s_reported;
  if (s_reported != text) {
    s_reported = text;
    Vision::Error.Warning("ENGINE_LOCAL_TIME=\"%s\" is not YYYY-MM-DD hh:mm:ss.mmm; the system clock is used", text);
  }
  return std::nullopt;
}

}  // namespace

VLocalTime VGetLocalTime() {
  {
    std::lock_guard<std::mutex> lock(g_mutex);
    if (g_fixed) return *g_fixed;
  }
  if (std::optional<VLocalTime> fixed = SwitchTime()) return *fixed;
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
