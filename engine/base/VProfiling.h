// Profiling groups and charts: registered and counted, not drawn. Each group is
// one chart; the charts are paged in the order their groups were first named.
#pragma once

#include "engine/base/VBase.h"

class VBASE_IMPEXP VProfiling {
 public:
  // Registers a named element; returns its id (the same id for the same name,
  // whatever group is given later). -1 for a null or empty name.
  static int RegisterElement(const char* name, const char* group, int parentId = -1);
  // Unknown ids are ignored.
  static void StartElement(int id);
  static void StopElement(int id);
  // Page through the charts (wrapping round); chart 0 while no group exists.
  static void NextChart();
  static void PreviousChart();
  // Sets every element's counters back to 0.
  static void ResetMaxValues();
  static int GetCurrentChart();

  // Read-back: starts and stops counted since registration or the last reset; -1 for an unknown id.
  static int GetStartCount(int id);
  static int GetStopCount(int id);
  static int GetElementCount();
  static int GetChartCount();
};
