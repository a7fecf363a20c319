// Derivation of the launcher's start parameters from the option dictionary.
#include "StartParameters.h"

#include "engine/base/VStrDictionary.h"
#include "engine/base/VString.h"

namespace {
// The parsed value of a key, or 0 when it is absent, empty or not a number.
int ParsedValue(const VStrDictionary& dictionary, const char* key) {
  const char* value = dictionary.Get(key);
  if (!value || !*value) return 0;
  return VString::NumericParse(value);
}
}  // namespace

StartParameters StartParameters::FromDictionary(const VStrDictionary& dictionary, int adapterCount) {
  StartParameters p;
  // A size must be positive; anything else keeps the default window.
  const int x = ParsedValue(dictionary, "ResolutionX");
  const int y = ParsedValue(dictionary, "ResolutionY");
  p.width = x > 0 ? x : 1280;
  p.height = y > 0 ? y : 720;

  // The mere presence of "Windowed" selects a window, whatever its value.
  int videoFlags = dictionary.Find("Windowed") ? 0 : 1;
  p.videoFlags = videoFlags | 0x8010;

  const int adapter = ParsedValue(dictionary, "Adapter");
  p.adapter = adapter >= 1 && adapter < adapterCount ? adapter : -1;

  const char* mouse = dictionary.Get("MouseUseDInput");
  const int inputFlags = mouse && VStringICompare(mouse, "0") == 0 ? 0x42 : 0xC2;
  // "MouseCapture" never changes what is passed on: 0x10 is always added.
  p.inputFlags = inputFlags | 0x10;
  return p;
}
