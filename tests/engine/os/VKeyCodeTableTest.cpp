// The keyboard table: every key the game reads has the engine code and scan code it
// expects, and no platform key, scan code or name is claimed twice.
#include "engine/base/VisInput.h"
#include "engine/os/VKeyCodeTable.h"

#include <SDL2/SDL_scancode.h>
#include <gtest/gtest.h>

#include <set>
#include <string>

TEST(KeyCodeTable, KeysTheGameReadsCarryItsCodes) {
  struct Case {
    const char* name;
    int sdl;
    int engineKey;
    int scanCode;
  };
  const Case cases[] = {
      {"Escape", SDL_SCANCODE_ESCAPE, VGLK_ESC, 0x01},     {"Enter", SDL_SCANCODE_RETURN, VGLK_ENTER, 28},
      {"Space", SDL_SCANCODE_SPACE, VGLK_SPACE, 57},       {"LeftCtrl", SDL_SCANCODE_LCTRL, VGLK_MODIFIER_B, 29},
      {"RightCtrl", SDL_SCANCODE_RCTRL, VGLK_MODIFIER_B, 0x9D}, {"LeftShift", SDL_SCANCODE_LSHIFT, VGLK_MODIFIER_A, 0x2A},
      {"RightShift", SDL_SCANCODE_RSHIFT, VGLK_MODIFIER_A, 0x36}, {"W", SDL_SCANCODE_W, 'W', 0x11},
      {"A", SDL_SCANCODE_A, 'A', 0x1E},                    {"S", SDL_SCANCODE_S, 'S', 0x1F},
      {"D", SDL_SCANCODE_D, 'D', 0x20},                    {"Q", SDL_SCANCODE_Q, 'Q', 0x10},
      {"E", SDL_SCANCODE_E, 'E', 0x12},                    {"P", SDL_SCANCODE_P, 'P', 25},
      {"M", SDL_SCANCODE_M, 'M', 50},                      {"C", SDL_SCANCODE_C, 'C', 46},
      {"L", SDL_SCANCODE_L, 'L', 38},                      {"I", SDL_SCANCODE_I, 'I', 23},
      {"T", SDL_SCANCODE_T, 'T', 20},                      {"G", SDL_SCANCODE_G, 'G', 34},
      {"F", SDL_SCANCODE_F, 'F', 33},                      {"F1", SDL_SCANCODE_F1, VGLK_F1, 59},
      {"F2", SDL_SCANCODE_F2, VGLK_F2, 0x3C},              {"F8", SDL_SCANCODE_F8, VGLK_F8, 0x42},
      {"F12", SDL_SCANCODE_F12, VGLK_F12, 0x58},           {"1", SDL_SCANCODE_1, '1', 0x02},
      {"4", SDL_SCANCODE_4, '4', 0x05},                    {"5", SDL_SCANCODE_5, VGLK_NAMETAG, 6},
      {"Keypad2", SDL_SCANCODE_KP_2, 98, 0x50},            {"Keypad4", SDL_SCANCODE_KP_4, 100, 0x4B},
      {"Keypad5", SDL_SCANCODE_KP_5, 101, 0x4C},           {"Keypad6", SDL_SCANCODE_KP_6, 102, 0x4D},
      {"Keypad7", SDL_SCANCODE_KP_7, 103, 0x47},           {"Keypad8", SDL_SCANCODE_KP_8, 104, 0x48},
      {"Keypad9", SDL_SCANCODE_KP_9, 105, 0x49},           {"Up", SDL_SCANCODE_UP, 38, 0xC8},
      {"Down", SDL_SCANCODE_DOWN, 40, 0xD0},               {"Left", SDL_SCANCODE_LEFT, 37, 0xCB},
      {"Right", SDL_SCANCODE_RIGHT, 39, 0xCD},             {"KeypadEnter", SDL_SCANCODE_KP_ENTER, VGLK_THIRD_CLOSE, 0x9C},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const VKeyCode* bySdl = VKeyCodeTable::FromSDLScancode(c.sdl);
    ASSERT_NE(bySdl, nullptr);
    EXPECT_STREQ(bySdl->name, c.name);
    EXPECT_EQ(bySdl->engineKey, c.engineKey);
    EXPECT_EQ(bySdl->scanCode, c.scanCode);
    EXPECT_EQ(VKeyCodeTable::FromName(c.name), bySdl);
    EXPECT_EQ(VKeyCodeTable::FromScanCode(c.scanCode), bySdl);
  }
}

TEST(KeyCodeTable, EachPlatformKeyScanCodeAndNameAppearsOnce) {
  std::set<int> sdl, scan;
  std::set<std::string> names;
  for (int i = 0; i < VKeyCodeTable::GetCount(); ++i) {
    const VKeyCode& k = VKeyCodeTable::GetAt(i);
    SCOPED_TRACE(k.name);
    std::string lower = k.name;
    for (char& ch : lower) ch = (char)tolower((unsigned char)ch);
    EXPECT_TRUE(sdl.insert(k.sdlScancode).second);
    EXPECT_TRUE(scan.insert(k.scanCode).second);
    EXPECT_TRUE(names.insert(lower).second);
    EXPECT_GT(k.scanCode, 0);
    EXPECT_LT(k.scanCode, 256);
    EXPECT_GT(k.engineKey, 0);
    EXPECT_LT(k.engineKey, 256);
  }
}

TEST(KeyCodeTable, NamesMatchWithoutCaseAndUnknownKeysAreNull) {
  EXPECT_EQ(VKeyCodeTable::FromName("escape"), VKeyCodeTable::FromName("ESCAPE"));
  EXPECT_NE(VKeyCodeTable::FromName("f8"), nullptr);
  EXPECT_EQ(VKeyCodeTable::FromName(""), nullptr);
  EXPECT_EQ(VKeyCodeTable::FromName(nullptr), nullptr);
  EXPECT_EQ(VKeyCodeTable::FromName("Ctrl+8"), nullptr);
  EXPECT_EQ(VKeyCodeTable::FromSDLScancode(SDL_SCANCODE_AUDIONEXT), nullptr);
  EXPECT_EQ(VKeyCodeTable::FromScanCode(0), nullptr);
}
