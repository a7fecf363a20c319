// A private X display for tests that open a window: starts Xvfb on a free display
// number and stops it again. Tests skip (not fail) when Xvfb is not installed.
#pragma once

#include <string>

class XvfbDisplay {
 public:
  // Starts "Xvfb -displayfd" with one 24-bit screen of the given size.
  explicit XvfbDisplay(int width = 1280, int height = 1024);
  ~XvfbDisplay();
  XvfbDisplay(const XvfbDisplay&) = delete;
  XvfbDisplay& operator=(const XvfbDisplay&) = delete;

  static bool IsInstalled();
  // Whether this process started a display (and so may have drawn in a window).
  static bool WasStarted();
  bool IsRunning() const { return m_pid > 0 && !m_name.empty(); }
  // ":N", empty when the server did not start.
  const std::string& Name() const { return m_name; }
  // Why it did not start.
  const std::string& Error() const { return m_error; }

 private:
  int m_pid = -1;
  std::string m_name;
  std::string m_error;
};
