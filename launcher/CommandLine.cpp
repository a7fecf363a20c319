// Option defaults and the command line of the launcher.
#include "CommandLine.h"

#include "engine/base/VStrDictionary.h"
#include "engine/base/VisError.h"
#include "engine/core/VisGame.h"

#include <cstring>
#include <vector>

namespace {
struct Switch {
  const char* name;
  const char* key;
  const char* value;
};
// Matched with regard to case, unlike the names of existing keys.
const Switch kSwitches[] = {
    {"no_dinput_keyboard", "KeyboardUseDInput", "0"},
    {"no_dinput_mouse", "MouseUseDInput", "0"},
    {"no_capture_mouse", "MouseCapture", "0"},
    {"Windowed", "Windowed", "1"},
    {"DisableMainMenuVideo", "DisableMainMenuVideo", "1"},
};
}  // namespace

void SetDefaultOptions(VStrDictionary& dictionary) {
  dictionary.Set("KeyboardUseDInput", "1");
  dictionary.Set("MouseUseDInput", "1");
  dictionary.Set("MouseCapture", "1");
  dictionary.Set("VSync", "1");
  dictionary.Set("ResolutionX", "1280");
  dictionary.Set("ResolutionY", "720");
  dictionary.Set("Adapter", "0");
  dictionary.Set("SSAO", "1");
}

void SetDefaultOptions() { SetDefaultOptions(Vision::Game.GetDictionary()); }

void ApplyCommandLine(VStrDictionary& dictionary, const char* text) {
  if (!text) return;
  const size_t length = strlen(text);
  // Every blank and "=" ends a word; the buffer keeps one terminator past the end.
  std::vector<char> words(text, text + length + 1);
  for (size_t i = 0; i < length; ++i)
    if (words[i] == '=' || words[i] == ' ') words[i] = '\0';

  for (size_t i = 0; i < length; ++i) {
    if (words[i] != '-') continue;
    const char* name = &words[i + 1];
    if (dictionary.Find(name)) {
      // The value is the word behind the separator that ended the name.
      const size_t valuePos = i + 1 + strlen(name) + 1;
      const char* value = valuePos < length ? &words[valuePos] : "";
      Vision::Error.SystemMessage("Command line option: %s=%s", name, value);
      dictionary.Set(name, value);
    } else {
      Vision::Error.SystemMessage("Command line option: %s", name);
      for (const Switch& s : kSwitches)
        if (strcmp(name, s.name) == 0) dictionary.Set(s.key, s.value);
    }
    // Scanning goes on behind the first letter of the name, so a minus sign
    // inside a value starts another option.
    ++i;
  }
}

void ApplyCommandLine(const char* text) { ApplyCommandLine(Vision::Game.GetDictionary(), text); }
