// Reading and replaying ENGINE_INPUT files.
#include "engine/core/VInputReplay.h"

#include "engine/base/VisError.h"
#include "engine/core/VPlatformInput.h"
#include "engine/os/VKeyCodeTable.h"
#include "engine/os/VOs.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

bool ParseInt(const std::string& text, long long low, long long high, long long& out) {
  if (text.empty()) return false;
  char* end = nullptr;
  errno = 0;
  const long long v = std::strtoll(text.c_str(), &end, 10);
  if (errno != 0 || *end != '\0' || v < low || v > high) return false;
  out = v;
  return true;
}

bool Is(const std::string& a, const char* b) { return _stricmp(a.c_str(), b) == 0; }

int ButtonOf(const std::string& name) {
  if (Is(name, "left")) return 0;
  if (Is(name, "right")) return 1;
  if (Is(name, "middle")) return 2;
  return -1;
}

// "down" -> 1, "up" -> 0, else -1.
int DirectionOf(const std::string& word) { return Is(word, "down") ? 1 : (Is(word, "up") ? 0 : -1); }

}  // namespace

bool VInputReplay::LoadFile(const char* path) {
  std::ifstream in(path ? path : "", std::ios::binary);
  if (!path || !in) {
    Vision::Error.Warning("ENGINE_INPUT: cannot read \"%s\": no input is replayed", path ? path : "");
    return false;
  }
  std::stringstream text;
  text << in.rdbuf();
  const int refused = Parse(text.str(), path);
  Vision::Error.SystemMessage("ENGINE_INPUT: %d events from \"%s\" (%d lines refused)", (int)GetPendingCount(), path,
                              refused);
  return true;
}

int VInputReplay::Parse(const std::string& text, const char* source) {
  std::vector<Event> added;
  int refused = 0;
  std::istringstream lines(text);
  std::string line;
  for (int number = 1; std::getline(lines, line); ++number) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::istringstream words(line);
    std::vector<std::string> w;
    for (std::string word; words >> word;) w.push_back(word);
    if (w.empty() || w[0][0] == '#') continue;

    const char* error = nullptr;
    long long frame = 0;
    Event e;
    e.line = number;
    if (!ParseInt(w[0], 1, 0x7fffffff, frame)) {
      error = "frame is not a positive number";
    } else if (w.size() < 2) {
      error = "event missing";
    } else {
      e.frame = (unsigned)frame;
      const std::string& what = w[1];
      const size_t n = w.size();
      if (Is(what, "key") || Is(what, "press")) {
        const bool press = Is(what, "press");
        const VKeyCode* key = n >= 3 ? VKeyCodeTable::FromName(w[2].c_str()) : nullptr;
        const int direction = press ? 1 : (n >= 4 ? DirectionOf(w[3]) : -1);
        if (n < 3 || !key) {
          error = "unknown key";
        } else if (n != (press ? 3u : 4u) || direction < 0) {
          error = press ? "expected: press <key>" : "expected: key <key> down|up";
        } else {
          e.kind = KEY;
          e.a = key->engineKey;
          e.b = key->scanCode;
          e.down = direction == 1;
          added.push_back(e);
          if (press) {
            e.frame += 1;
            e.down = false;
            added.push_back(e);
          }
        }
      } else if (Is(what, "move")) {
        long long x = 0, y = 0;
        if (n != 4 || !ParseInt(w[2], 0, 32767, x) || !ParseInt(w[3], 0, 32767, y)) {
          error = "expected: move <x> <y> (0..32767)";
        } else {
          e.kind = MOVE;
          e.a = (int)x;
          e.b = (int)y;
          added.push_back(e);
        }
      } else if (Is(what, "button") || Is(what, "click")) {
        const bool click = Is(what, "click");
        const int button = n >= 3 ? ButtonOf(w[2]) : -1;
        const int direction = click ? 1 : (n >= 4 ? DirectionOf(w[3]) : -1);
        if (button < 0 || n != (click ? 3u : 4u) || direction < 0) {
          error = click ? "expected: click left|right|middle" : "expected: button left|right|middle down|up";
        } else {
          e.kind = BUTTON;
          e.a = button;
          e.down = direction == 1;
          added.push_back(e);
          if (click) {
            e.frame += 1;
            e.down = false;
            added.push_back(e);
          }
        }
      } else if (Is(what, "wheel")) {
        long long notches = 0;
        if (n != 3 || !ParseInt(w[2], -1000, 1000, notches) || notches == 0) {
          error = "expected: wheel <notches> (not 0)";
        } else {
          e.kind = WHEEL;
          e.a = (int)notches;
          added.push_back(e);
        }
      } else if (Is(what, "focus")) {
        if (n != 3 || (!Is(w[2], "in") && !Is(w[2], "out"))) {
          error = "expected: focus in|out";
        } else {
          e.kind = FOCUS;
          e.down = Is(w[2], "in");
          added.push_back(e);
        }
      } else {
        error = "unknown event";
      }
    }
    if (error) {
      ++refused;
      Vision::Error.Warning("ENGINE_INPUT %s:%d: %s: %s", source ? source : "", number, error, line.c_str());
    }
  }
  m_events.insert(m_events.end(), added.begin(), added.end());
  std::stable_sort(m_events.begin() + (std::ptrdiff_t)m_next, m_events.end(),
                   [](const Event& a, const Event& b) { return a.frame < b.frame; });
  return refused;
}

void VInputReplay::DeliverFrame(unsigned frame) {
  // An event may start a nested frame (a key that renders); it must not be delivered twice.
  while (m_next < m_events.size() && m_events[m_next].frame <= frame) {
    const Event e = m_events[m_next++];
    switch (e.kind) {
      case KEY:
        VPlatformInput::Key(e.a, e.b, e.down);
        break;
      case MOVE:
        VPlatformInput::MouseMove(e.a, e.b);
        break;
      case BUTTON:
        VPlatformInput::MouseButton(e.a, e.down);
        break;
      case WHEEL:
        VPlatformInput::MouseWheel(e.a);
        break;
      case FOCUS:
        VPlatformInput::Focus(e.down);
        break;
    }
  }
}

void VInputReplay::Clear() {
  m_events.clear();
  m_next = 0;
}
