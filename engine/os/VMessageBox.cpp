// Message boxes without a window: the answer comes from ENGINE_MESSAGEBOX and the
// box is recorded in the log, so scripted runs and tests see what was asked.
#include "engine/os/VOs.h"

#include "engine/base/VisError.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

struct Button {
  int id;
  const char* name;
};

const Button kOk[] = {{VIDOK, "ok"}};
const Button kYesNo[] = {{VIDYES, "yes"}, {VIDNO, "no"}};

std::string OneLine(const char* text) {
  std::string out;
  if (!text) return out;
  for (const char* p = text; *p; ++p) {
    if (*p == '\r') {
      if (p[1] != '\n') out += ' ';
    } else if (*p == '\n') {
      out += ' ';
    } else {
      out += *p;
    }
  }
  return out;
}

}  // namespace

int VMessageBox(const char* text, const char* caption, int flags) {
  const Button* buttons = kOk;
  int count = 1;
  if ((flags & 0x0F) == VMB_YESNO) {
    buttons = kYesNo;
    count = 2;
  }

  // The scripted answer must name one of the box's buttons; anything else is the
  // same as pressing Enter on the default (first) button.
  const Button* chosen = &buttons[0];
  if (const char* answer = getenv("ENGINE_MESSAGEBOX")) {
    for (int i = 0; i < count; ++i) {
      if (_stricmp(answer, buttons[i].name) == 0) chosen = &buttons[i];
    }
  }

  std::string line = "Message box \"" + OneLine(caption) + "\": " + OneLine(text) + " -> " + chosen->name;
  Vision::Error.WriteLine(line);
  fprintf(stderr, "%s\n", line.c_str());
  fflush(stderr);
  return chosen->id;
}

int VMessageBoxW(const wchar_t* text, const wchar_t* caption, int flags) {
  std::string t = VWideToUTF8(text);
  std::string c = VWideToUTF8(caption);
  return VMessageBox(text ? t.c_str() : nullptr, caption ? c.c_str() : nullptr, flags);
}
