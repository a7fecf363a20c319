// A creatable path that counts its own destruction: tests of readers that get paths
// from an archive see whether a path was freed too early, or never.
#pragma once

#include "engine/core/VisPath.h"

class CountingPath : public VisPath_cl {
  V_DECLARE_DYNCREATE(CountingPath)
 public:
  ~CountingPath() override { ++destroyed; }
  static int destroyed;
};
