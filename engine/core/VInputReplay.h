// ENGINE_INPUT: key and mouse events read from a text file and replayed by frame
// number through VPlatformInput, as if a person typed and clicked (format in
// data/README.md). Lines that do not parse are logged and skipped.
#pragma once

#include "engine/base/VBase.h"

#include <string>
#include <vector>

class VBASE_IMPEXP VInputReplay {
 public:
  enum Kind { KEY, MOVE, BUTTON, WHEEL, FOCUS };
  struct Event {
    unsigned frame = 0;  // 1 = the first engine frame
    Kind kind = KEY;
    int a = 0, b = 0;    // KEY: engine key, scan code; MOVE: x, y; BUTTON: button; WHEEL: notches
    bool down = false;   // KEY and BUTTON: pressed; FOCUS: gained
    int line = 0;        // line of the file it came from
  };

  // Reads a file; false (logged) when it cannot be read. The events are added to
  // those already held.
  bool LoadFile(const char* path);
  // Parses text; source names it in log lines. Returns the number of lines refused.
  int Parse(const std::string& text, const char* source);
  // Delivers, in order, every event of this frame or of an earlier one not yet
  // delivered.
  void DeliverFrame(unsigned frame);
  void Clear();

  const std::vector<Event>& GetEvents() const { return m_events; }
  size_t GetPendingCount() const { return m_events.size() - m_next; }

 private:
  std::vector<Event> m_events;  // sorted by frame, file order within a frame
  size_t m_next = 0;
};
