// The start of a save-game file as the game writes it, with the header fields its
// save version carries; the rest is a few bytes that a header read never reaches.
#pragma once

#include "support/ArchiveRoundTrip.h"

#include "engine/Vision.h"

#include <string>

namespace save_test {

struct Header {
  int saveVersion = 11;
  std::string date = "5.9.2011 - 14:07";
  std::string mission = "str_MISSION_1";
  std::string stamp = "201105091407030045";
  int hero = 3;
};

inline archive_test::Bytes SaveFile(const Header& h) {
  archive_test::ByteWriter w;
  w.Str("ARCH").I32(Vision::GetArchiveVersion()).U8((uint8_t)h.saveVersion).Str(h.date).Str(h.mission);
  if (h.saveVersion >= 7) w.Str(h.stamp);
  if (h.saveVersion >= 8) w.I32(h.hero);
  if (h.saveVersion >= 4) w.Str("1,0,2,7542").Str("2011/08/06 02:17:32");
  w.F32(12.5f).F32(3.0f).U32(0);
  return w;
}

}  // namespace save_test
