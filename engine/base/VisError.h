// The engine log and error object (Vision::Error), assertions, and screen
// messages (Vision::Message).
#pragma once

#include "engine/base/VBase.h"

#include <cstdarg>
#include <functional>
#include <string>
#include <vector>

class VBASE_IMPEXP VisError_cl {
 public:
  VisError_cl();
  ~VisError_cl();

  // The engine's log set-up: the last argument is the log file, opened in the
  // current folder. The other switches are accepted and ignored.
  void SetOutput(int a, int b, int c, int d, int e, int f, const char* logFile);
  void SystemMessage(const char* fmt, ...) __attribute__((format(printf, 2, 3)));
  void Warning(const char* fmt, ...) __attribute__((format(printf, 2, 3)));
  // Logs the text (also on standard error) and ends the program with exit status 1,
  // unless a fatal handler is installed.
  [[noreturn]] void FatalError(const char* fmt, ...) __attribute__((format(printf, 2, 3)));
  void AddReportGroupEntry(int kind, const char* name);
  // Engine message log (low-priority diagnostics).
  void EngineMessage(const char* fmt, ...) __attribute__((format(printf, 2, 3)));
  // Benign runtime warnings: harmless conditions worth a line only while chasing a
  // problem. On by default; BenignWarning writes nothing while they are off.
  void SetReportBenignWarnings(bool on) { m_bBenignWarnings = on; }
  bool IsReportingBenignWarnings() const { return m_bBenignWarnings; }
  void BenignWarning(const char* fmt, ...) __attribute__((format(printf, 2, 3)));

  // Tests: a handler receives the fatal text and must not return (throw or exit).
  typedef std::function<void(const std::string&)> FatalHandler;
  void SetFatalHandler(FatalHandler handler) { m_fatalHandler = std::move(handler); }
  // Tests: every log line also goes here while set.
  typedef std::function<void(const std::string&)> LogListener;
  void SetLogListener(LogListener listener) { m_listener = std::move(listener); }
  // Mirror log lines on standard error (ENGINE_LOG_STDERR=1 switches it on).
  void SetEchoToStdErr(bool echo) { m_echo = echo; }
  void Flush();
  void CloseLog();
  const std::string& GetLogFileName() const { return m_logFileName; }

  // Writes one line to the log.
  void WriteLine(const std::string& line);

  // Assertions: counted and logged, never fatal unless tests ask for it.
  int GetAssertCount() const { return m_assertCount; }
  void ResetAssertCount() { m_assertCount = 0; }
  void SetAssertHandler(std::function<void(const std::string&)> handler) { m_assertHandler = std::move(handler); }
  void ReportAssert(const char* expr, const char* msg, const char* file, int line);

 private:
  FILE* m_log = nullptr;
  std::string m_logFileName;
  FatalHandler m_fatalHandler;
  LogListener m_listener;
  std::function<void(const std::string&)> m_assertHandler;
  bool m_echo = false;
  bool m_bBenignWarnings = true;
  int m_assertCount = 0;
};

// Screen messages: recorded, and mirrored into the log so tests can read them.
class VBASE_IMPEXP VisMessage_cl {
 public:
  struct Entry {
    enum Kind { Print, Add, Print3D, Line } kind;
    std::string text;
    float x = 0, y = 0, z = 0;
    float x2 = 0, y2 = 0, z2 = 0;  // a line's end
    uint32_t colour = 0xffffffff;  // 0xRRGGBBAA (VColorRef::GetRGBA)
  };
  // Text at a screen position for this frame.
  void Print(int x, int y, const char* fmt, ...) __attribute__((format(printf, 4, 5)));
  // Scrolling message, shown for a while.
  void Add(const char* fmt, ...) __attribute__((format(printf, 2, 3)));
  void Add(int priority, const char* fmt, ...) __attribute__((format(printf, 3, 4)));
  void Print3D(float x, float y, float z, uint32_t colour, const char* fmt, ...) __attribute__((format(printf, 6, 7)));
  // A world-space line for this frame (drawn by the world pass).
  void DrawSingleLine(float ax, float ay, float az, float bx, float by, float bz, uint32_t colour, float width);
  void SetMaxNum(int n) { m_maxNum = n; }
  int GetMaxNum() const { return m_maxNum; }

  // What was shown: the scrolling messages (capped by the maximum, newest last)
  // and everything printed since the last ClearFrame.
  const std::vector<std::string>& GetMessages() const { return m_messages; }
  const std::vector<Entry>& GetFrameEntries() const { return m_frame; }
  void ClearFrame() { m_frame.clear(); }
  void ClearAll() { m_frame.clear(); m_messages.clear(); }

 private:
  int m_maxNum = 8;
  std::vector<std::string> m_messages;
  std::vector<Entry> m_frame;
};

namespace Vision {
VBASE_IMPEXP extern VisError_cl Error;
VBASE_IMPEXP extern VisMessage_cl Message;
}  // namespace Vision
