// Platform services in place of the Windows calls: message boxes, shell open,
// sleep, the documents folder, the cursor, text conversions and C runtime shims.
#pragma once

#include "engine/base/VBase.h"

#include <cstdarg>
#include <string>

// Message boxes. Headless (or with ENGINE_MESSAGEBOX set) the box is answered by
// ENGINE_MESSAGEBOX ("yes", "no", "ok", "cancel"; default: the first button) and
// caption, text and answer are written to the log and standard error as one line
// (line breaks of the text become blanks). An answer that is not a button of the
// box gives the first button. Unknown button sets behave as VMB_OK. With a window
// (VSetMessageBoxWindow) and ENGINE_MESSAGEBOX unset, the box is an SDL message
// box over the window and the person's answer is logged the same way.
enum VMessageBoxButtons_e { VMB_OK = 0, VMB_YESNO = 4 };
enum VMessageBoxIcon_e { VMB_ICONNONE = 0, VMB_ICONQUESTION = 0x20, VMB_ICONEXCLAMATION = 0x30 };
enum VMessageBoxResult_e { VIDOK = 1, VIDCANCEL = 2, VIDYES = 6, VIDNO = 7 };
// Buttons and an icon combine into one flag word (C++20 warns on mixed-enum "|").
constexpr int operator|(VMessageBoxButtons_e b, VMessageBoxIcon_e i) { return (int)b | (int)i; }
VBASE_IMPEXP int VMessageBox(const char* text, const char* caption, int flags);
// The window boxes are shown over (an SDL_Window); null: none.
VBASE_IMPEXP void VSetMessageBoxWindow(void* window);
VBASE_IMPEXP int VMessageBoxW(const wchar_t* text, const wchar_t* caption, int flags);

// Opens an address or file with the desktop (xdg-open); headless (ENGINE_VIDEO other
// than "gl") it is only logged.
VBASE_IMPEXP bool VShellOpen(const char* target);
VBASE_IMPEXP bool VShellOpenW(const wchar_t* target);

// Gives up the processor; 0 only yields.
VBASE_IMPEXP void VSleep(unsigned milliseconds);
// Sleeps for about that many nanoseconds (the system may wake a little later); 0 yields.
VBASE_IMPEXP void VSleepNanoseconds(uint64_t nanoseconds);

// The user's documents folder as UTF-8: ENGINE_DOCUMENTS_DIR, else $XDG_DOCUMENTS_DIR,
// else $HOME/Documents. False when none can be found.
VBASE_IMPEXP bool VGetDocumentsFolder(std::string& out);
// The same folder into a buffer of 4096 bytes: 1 on success, 0 when it cannot be
// found (no message), or 0 after "GetMyDocumentFolder: Invalid parameter" (null
// buffer) or "GetMyDocumentFolder: Insufficient buffer" (too long) in the log.
#define V_DOCUMENT_FOLDER_SIZE 4096
VBASE_IMPEXP int VGetMyDocumentFolder(char* out);

// Local wall-clock time to the millisecond (date texts and save stamps). Tests fix
// it with VSetFixedLocalTime; null returns to the system clock. Otherwise the switch
// ENGINE_LOCAL_TIME ("YYYY-MM-DD hh:mm:ss.mmm", for end-to-end runs) fixes it; a
// malformed value is logged once and the system clock used.
struct VLocalTime {
  int year = 0, month = 0, day = 0;  // month and day from 1
  int hour = 0, minute = 0, second = 0, milliseconds = 0;
};
VBASE_IMPEXP VLocalTime VGetLocalTime();
VBASE_IMPEXP void VSetFixedLocalTime(const VLocalTime* time);

// The system cursor and the window's client area: one cursor per process. The
// client area starts at the screen origin and has the size of the video mode, so
// screen and client co-ordinates are the same. Positions stay inside the clip
// rectangle (right and bottom exclusive). Headless the cursor is only recorded; with
// a window (VSetCursorWindow) VSetCursorPos also moves the real pointer and a clip
// confines it (the window grabs the pointer and limits it to the rectangle).
// VTrackCursorPos records where the pointer went by itself (window events, replayed
// input) without moving it.
struct VPoint { int x = 0, y = 0; };
struct VRect { int left = 0, top = 0, right = 0, bottom = 0; };
VBASE_IMPEXP void VShowSystemCursor(bool show);
VBASE_IMPEXP bool VIsSystemCursorShown();
VBASE_IMPEXP void VSetSystemCursorImage(void* image);  // null clears it
VBASE_IMPEXP void* VGetSystemCursorImage();
VBASE_IMPEXP bool VGetCursorPos(VPoint& out);          // screen co-ordinates
VBASE_IMPEXP void VSetCursorPos(int x, int y);
VBASE_IMPEXP void VTrackCursorPos(int x, int y);
// The window (an SDL_Window) whose pointer the cursor drives; null: none.
VBASE_IMPEXP void VSetCursorWindow(void* window);
VBASE_IMPEXP bool VScreenToClient(void* window, VPoint& p);
VBASE_IMPEXP bool VGetClientRect(void* window, VRect& out);
VBASE_IMPEXP bool VMapWindowPointsToScreen(void* window, VRect& r);
VBASE_IMPEXP void VClipCursor(const VRect* rect);  // null releases the clip
VBASE_IMPEXP bool VGetCursorClip(VRect& out);      // false when not clipped
// The client size follows the video mode (default 1280x720).
VBASE_IMPEXP void VSetClientSize(int width, int height);

// Text: the "ANSI code page" is UTF-8 with a Latin-1 fallback for invalid bytes.
VBASE_IMPEXP std::wstring VNarrowToWide(const char* text);
// Wide to 8-bit: a character above 255 becomes a blank, others keep their low byte.
VBASE_IMPEXP std::string VWideToNarrow(const wchar_t* text);
// Invalid characters (surrogates, above U+10FFFF; invalid UTF-8 sequences) become U+FFFD.
VBASE_IMPEXP std::string VWideToUTF8(const wchar_t* text);
VBASE_IMPEXP std::wstring VUTF8ToWide(const char* text);
VBASE_IMPEXP bool VIsValidUTF8(const char* text, size_t length);

// Wide printf with typed arguments: %s takes a wide string, %d %i %u %x %f %.Nf %c %%.
// With no arguments only "%%" becomes "%" and every other "%" is text. Flags, width
// and precision work as in printf; an unknown conversion, or one without an argument
// left, stays as text. %s also takes a number, %d and %f take either kind of number.
struct VFormatArg {
  enum Kind { Int, Double, WideText, NarrowText } kind;
  long long i = 0;
  double d = 0;
  const wchar_t* ws = nullptr;
  const char* s = nullptr;
  VFormatArg(int v) : kind(Int), i(v) {}            // NOLINT
  VFormatArg(unsigned v) : kind(Int), i(v) {}       // NOLINT
  VFormatArg(long long v) : kind(Int), i(v) {}      // NOLINT
  VFormatArg(long v) : kind(Int), i(v) {}           // NOLINT
  VFormatArg(unsigned long v) : kind(Int), i((long long)v) {}       // NOLINT: size_t
  VFormatArg(unsigned long long v) : kind(Int), i((long long)v) {}  // NOLINT
  VFormatArg(double v) : kind(Double), d(v) {}      // NOLINT
  VFormatArg(float v) : kind(Double), d(v) {}       // NOLINT
  VFormatArg(const wchar_t* v) : kind(WideText), ws(v) {}  // NOLINT
  VFormatArg(const std::wstring& v) : kind(WideText), ws(v.c_str()) {}  // NOLINT
  VFormatArg(const char* v) : kind(NarrowText), s(v) {}  // NOLINT
};
VBASE_IMPEXP std::wstring VFormatWide(const wchar_t* fmt, const VFormatArg* args, int count);
template <class... A>
std::wstring VFormatW(const wchar_t* fmt, const A&... a) {
  const VFormatArg list[] = {VFormatArg(a)..., VFormatArg(0)};
  return VFormatWide(fmt, list, (int)sizeof...(A));
}

// C runtime shims.
VBASE_IMPEXP int _stricmp(const char* a, const char* b);
VBASE_IMPEXP int _strnicmp(const char* a, const char* b, size_t n);
VBASE_IMPEXP long long _atoi64(const char* s);
// A random integer in 0..32767 (the range the game's "/ 32767" draws assume).
#define V_RAND_MAX 32767
VBASE_IMPEXP int VRandomInt();
VBASE_IMPEXP void VSeedRandom(unsigned seed);
VBASE_IMPEXP int VGetProcessorCount();

// Windows-style file helpers for the game's own files.
VBASE_IMPEXP std::string VGetModuleFileName();  // the running program's path; empty when unknown
