// Message boxes: without a window the answer comes from ENGINE_MESSAGEBOX; with one
// a person answers an SDL box. Every box is recorded in the log, so scripted runs
// and tests see what was asked.
#include "engine/os/VOs.h"

#include "engine/base/VisError.h"

#include <SDL2/SDL.h>

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

void* g_window = nullptr;

// The index of the button the person chose; Escape or closing the box gives the
// last button (No), Enter the first.
int AskInWindow(const char* text, const char* caption, int flags, const Button* buttons, int count) {
  SDL_MessageBoxButtonData data[2] = {};
  for (int i = 0; i < count; ++i) {
    data[i].buttonid = i;
    data[i].text = buttons[i].id == VIDYES ? "Yes" : (buttons[i].id == VIDNO ? "No" : "OK");
  }
  data[0].flags |= SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT;
  data[count - 1].flags |= SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT;
  SDL_MessageBoxData box = {};
  box.flags = (flags & 0xF0) == VMB_ICONEXCLAMATION ? SDL_MESSAGEBOX_WARNING : SDL_MESSAGEBOX_INFORMATION;
  box.window = (SDL_Window*)g_window;
  box.title = caption ? caption : "";
  box.message = text ? text : "";
  box.numbuttons = count;
  box.buttons = data;
  int chosen = -1;
  if (SDL_ShowMessageBox(&box, &chosen) != 0 || chosen < 0 || chosen >= count) return count - 1;
  return chosen;
}

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
  const char* answer = getenv("ENGINE_MESSAGEBOX");
  if (answer) {
    for (int i = 0; i < count; ++i) {
      if (_stricmp(answer, buttons[i].name) == 0) chosen = &buttons[i];
    }
  } else if (g_window) {
    chosen = &buttons[AskInWindow(text, caption, flags, buttons, count)];
  }

  std::string line = "Message box \"" + OneLine(caption) + "\": " + OneLine(text) + " -> " + chosen->name;
  Vision::Error.WriteLine(line);
  fprintf(stderr, "%s\n", line.c_str());
  fflush(stderr);
  return chosen->id;
}

void VSetMessageBoxWindow(void* window) { g_window = window; }

int VMessageBoxW(const wchar_t* text, const wchar_t* caption, int flags) {
  std::string t = VWideToUTF8(text);
  std::string c = VWideToUTF8(caption);
  return VMessageBox(text ? t.c_str() : nullptr, caption ? c.c_str() : nullptr, flags);
}
