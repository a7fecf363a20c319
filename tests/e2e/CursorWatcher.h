// Records every cursor image an X server shows while a program runs: the game sets
// its window's cursor, which no screenshot holds.
#pragma once

#include "engine/render/VImageFile.h"

#include <atomic>
#include <string>
#include <thread>
#include <vector>

class CursorWatcher {
 public:
  // Starts watching the display (":N"); watches nothing when it cannot be opened or
  // has no XFixes.
  explicit CursorWatcher(const std::string& display);
  ~CursorWatcher();
  CursorWatcher(const CursorWatcher&) = delete;
  CursorWatcher& operator=(const CursorWatcher&) = delete;

  bool IsWatching() const { return m_bWatching; }
  void Stop();
  // Whether the picture was the cursor at some time (its opaque pixels compared).
  bool Showed(const VImage& picture) const;

 private:
  struct Image {
    int width = 0, height = 0;
    std::vector<unsigned long> argb;
  };
  void* m_pDisplay = nullptr;
  bool m_bWatching = false;
  std::atomic<bool> m_bStop{false};
  std::thread m_thread;
  std::vector<Image> m_images;
};
