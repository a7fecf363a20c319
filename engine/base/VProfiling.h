// Profiling groups and charts: registered and counted, not drawn.
#pragma once

#include "engine/base/VBase.h"

class VBASE_IMPEXP VProfiling {
 public:
  // Registers a named element; returns its id (the same id for the same name).
  static int RegisterElement(const char* name, const char* group, int parentId = -1);
  static void StartElement(int id);
  static void StopElement(int id);
  static void NextChart();
  static void PreviousChart();
  static void ResetMaxValues();
  static int GetCurrentChart();
};
