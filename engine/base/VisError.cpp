// The engine log (Vision::Error) with its assertions, and the screen messages.
#include "engine/base/VisError.h"

#include "engine/base/VString.h"

#include <cstdio>
#include <cstdlib>
#include <unistd.h>
#include <utility>

namespace Vision {
VisError_cl Error;
VisMessage_cl Message;
}  // namespace Vision

namespace {
std::string FormatV(const char* fmt, va_list args) {
  VString text;
  text.FormatArgList(fmt, args);
  return std::move(text.Str());
}
}  // namespace

void VAssertFailed(const char* expr, const char* msg, const char* file, int line) {
  Vision::Error.ReportAssert(expr, msg, file, line);
}

VisError_cl::VisError_cl() {
  const char* echo = getenv("ENGINE_LOG_STDERR");
  m_echo = echo && *echo == '1';
}

VisError_cl::~VisError_cl() { CloseLog(); }

void VisError_cl::SetOutput(int, int, int, int, int, int, const char* logFile) {
  CloseLog();
  if (!logFile || !*logFile) return;
  m_logFileName = logFile;
  m_log = fopen(logFile, "w");
}

void VisError_cl::CloseLog() {
  if (m_log) {
    fclose(m_log);
    m_log = nullptr;
  }
}

void VisError_cl::Flush() {
  if (m_log) fflush(m_log);
}

void VisError_cl::WriteLine(const std::string& line) {
  if (m_log) {
    fputs(line.c_str(), m_log);
    fputc('\n', m_log);
    fflush(m_log);
  }
  if (m_echo) fprintf(stderr, "%s\n", line.c_str());
  if (m_listener) m_listener(line);
}

void VisError_cl::SystemMessage(const char* fmt, ...) {
  va_list args;
  va_start(args, fmt);
  std::string text = FormatV(fmt, args);
  va_end(args);
  WriteLine(text);
}

void VisError_cl::Warning(const char* fmt, ...) {
  va_list args;
  va_start(args, fmt);
  std::string text = FormatV(fmt, args);
  va_end(args);
  WriteLine("Warning: " + text);
}

void VisError_cl::BenignWarning(const char* fmt, ...) {
  if (!m_bBenignWarnings) return;
  va_list args;
  va_start(args, fmt);
  std::string text = FormatV(fmt, args);
  va_end(args);
  WriteLine("Warning: " + text);
}

void VisError_cl::EngineMessage(const char* fmt, ...) {
  va_list args;
  va_start(args, fmt);
  std::string text = FormatV(fmt, args);
  va_end(args);
  WriteLine(text);
}

void VisError_cl::FatalError(const char* fmt, ...) {
  va_list args;
  va_start(args, fmt);
  std::string text = FormatV(fmt, args);
  va_end(args);
  // The exact text goes to the log and to standard error.
  if (m_log) {
    fputs(text.c_str(), m_log);
    fputc('\n', m_log);
    fflush(m_log);
  }
  if (m_listener) m_listener(text);
  if (m_fatalHandler) {
    m_fatalHandler(text);
  }
  fprintf(stderr, "%s\n", text.c_str());
  // No static destructors (the engine may be half started), but what stdio still
  // buffers for the program's other files must not be lost.
  fflush(nullptr);
  _exit(1);
}

void VisError_cl::AddReportGroupEntry(int kind, const char* name) {
  WriteLine(std::string("Report: ") + (name ? name : ""));
}

void VisError_cl::ReportAssert(const char* expr, const char* msg, const char* file, int line) {
  ++m_assertCount;
  char buf[64];
  snprintf(buf, sizeof(buf), "%d", line);
  std::string text = std::string("Assertion failed: ") + (msg ? msg : "") + (msg ? " " : "") + "(" +
                     (expr ? expr : "") + ") " + (file ? file : "") + ":" + buf;
  WriteLine(text);
  if (m_assertHandler) m_assertHandler(text);
}

// Screen messages ---------------------------------------------------------------

void VisMessage_cl::Print(int x, int y, const char* fmt, ...) {
  va_list args;
  va_start(args, fmt);
  Entry e{Entry::Print, FormatV(fmt, args)};
  va_end(args);
  e.x = (float)x;
  e.y = (float)y;
  m_frame.push_back(e);
}

void VisMessage_cl::Add(const char* fmt, ...) {
  va_list args;
  va_start(args, fmt);
  std::string text = FormatV(fmt, args);
  va_end(args);
  m_messages.push_back(text);
  while ((int)m_messages.size() > (m_maxNum > 0 ? m_maxNum : 1)) m_messages.erase(m_messages.begin());
  Vision::Error.WriteLine("Screen message: " + text);
}

void VisMessage_cl::Add(int, const char* fmt, ...) {
  va_list args;
  va_start(args, fmt);
  std::string text = FormatV(fmt, args);
  va_end(args);
  Add("%s", text.c_str());
}

void VisMessage_cl::Print3D(float x, float y, float z, uint32_t colour, const char* fmt, ...) {
  va_list args;
  va_start(args, fmt);
  Entry e{Entry::Print3D, FormatV(fmt, args)};
  va_end(args);
  e.x = x;
  e.y = y;
  e.z = z;
  e.colour = colour;
  m_frame.push_back(e);
}

void VisMessage_cl::DrawSingleLine(float ax, float ay, float az, float bx, float by, float bz, uint32_t colour,
                                   float) {
  Entry e{Entry::Line, std::string()};
  e.x = ax;
  e.y = ay;
  e.z = az;
  e.x2 = bx;
  e.y2 = by;
  e.z2 = bz;
  e.colour = colour;
  m_frame.push_back(e);
}
