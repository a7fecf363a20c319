// The ENGINE_INPUT reader over arbitrary text: no crash, no sanitizer report; every
// event it keeps is in the ranges the format allows, the events stay in frame order,
// and replaying them all through the platform input leaves nothing pending.
// fuzz-libs: engine
#include "engine/core/VInputReplay.h"

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

void Require(bool condition) {
  if (!condition) abort();
}

void CheckEvent(const VInputReplay::Event& e) {
  Require(e.frame >= 1 && e.line >= 1);
  switch (e.kind) {
    case VInputReplay::KEY:
      break;
    case VInputReplay::MOVE:
      Require(e.a >= 0 && e.a <= 32767 && e.b >= 0 && e.b <= 32767);
      break;
    case VInputReplay::BUTTON:
      Require(e.a >= 0 && e.a <= 2);
      break;
    case VInputReplay::WHEEL:
      Require(e.a != 0 && e.a >= -1000 && e.a <= 1000);
      break;
    case VInputReplay::FOCUS:
      break;
    default:
      Require(false);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  VInputReplay replay;
  const int refused = replay.Parse(text, "<fuzz>");
  Require(refused >= 0);
  const auto& events = replay.GetEvents();
  for (size_t i = 0; i < events.size(); ++i) {
    CheckEvent(events[i]);
    if (i > 0) Require(events[i - 1].frame <= events[i].frame);
  }
  // A second file's events merge in frame order with what is still pending.
  const size_t first = events.size();
  replay.DeliverFrame(2);
  replay.Parse(text, "<fuzz again>");
  Require(replay.GetEvents().size() == 2 * first);
  replay.DeliverFrame(UINT_MAX);
  Require(replay.GetPendingCount() == 0);
  return 0;
}
