// Collects the engine log lines written while it lives.
#pragma once

#include "engine/base/VisError.h"

#include <string>
#include <vector>

class LogCapture {
 public:
  LogCapture() {
    Vision::Error.SetLogListener([this](const std::string& line) { m_lines.push_back(line); });
  }
  ~LogCapture() { Vision::Error.SetLogListener(nullptr); }
  LogCapture(const LogCapture&) = delete;
  LogCapture& operator=(const LogCapture&) = delete;

  const std::vector<std::string>& Lines() const { return m_lines; }
  // True when some line contains the text.
  bool Contains(const std::string& text) const {
    for (const std::string& l : m_lines)
      if (l.find(text) != std::string::npos) return true;
    return false;
  }
  // The lines that contain the text, in order.
  std::vector<std::string> Matching(const std::string& text) const {
    std::vector<std::string> out;
    for (const std::string& l : m_lines)
      if (l.find(text) != std::string::npos) out.push_back(l);
    return out;
  }
  void Clear() { m_lines.clear(); }

 private:
  std::vector<std::string> m_lines;
};
