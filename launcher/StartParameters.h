// The window size, video and input flags and adapter the launcher derives from
// the option dictionary before it starts the engine window.
#pragma once

class VStrDictionary;

struct StartParameters {
  int width = 1280;
  int height = 720;
  // 0x1 full screen, plus 0x8000 and 0x10 always.
  int videoFlags = 0x8011;
  // Passed on with 0x10 added: 0xD2, or 0x52 without the DirectInput mouse.
  int inputFlags = 0xD2;
  // Adapter index to store in the video configuration; -1 leaves it alone.
  int adapter = -1;

  // Keys are found without regard to case, the first entry counting.
  static StartParameters FromDictionary(const VStrDictionary& dictionary, int adapterCount);
};
