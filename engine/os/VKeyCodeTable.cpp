// Keyboard mapping shared by the window's event pump and the input replay.
#include "engine/os/VKeyCodeTable.h"

#include "engine/base/VisInput.h"
#include "engine/os/VOs.h"

#include <SDL2/SDL_scancode.h>

namespace {

// Engine key codes follow the ASCII-like numbering of the engine: letters and digits
// are their upper-case characters, F1..F12 are 112..123, Shift and Ctrl are the two
// modifier codes. The main-row 5 carries the name-tag key (engine key 6, scan code 6);
// the keypad Enter is the third key that closes frames (95).
const VKeyCode kKeys[] = {
    {"Escape", SDL_SCANCODE_ESCAPE, VGLK_ESC, 0x01},
    {"1", SDL_SCANCODE_1, '1', 0x02},
    {"2", SDL_SCANCODE_2, '2', 0x03},
    {"3", SDL_SCANCODE_3, '3', 0x04},
    {"4", SDL_SCANCODE_4, '4', 0x05},
    {"5", SDL_SCANCODE_5, VGLK_NAMETAG, 0x06},
    {"6", SDL_SCANCODE_6, '6', 0x07},
    {"7", SDL_SCANCODE_7, '7', 0x08},
    {"8", SDL_SCANCODE_8, '8', 0x09},
    {"9", SDL_SCANCODE_9, '9', 0x0A},
    {"0", SDL_SCANCODE_0, '0', 0x0B},
    {"Minus", SDL_SCANCODE_MINUS, 189, 0x0C},
    {"Equals", SDL_SCANCODE_EQUALS, 187, 0x0D},
    {"Backspace", SDL_SCANCODE_BACKSPACE, 8, 0x0E},
    {"Tab", SDL_SCANCODE_TAB, 9, 0x0F},
    {"Q", SDL_SCANCODE_Q, 'Q', 0x10},
    {"W", SDL_SCANCODE_W, 'W', 0x11},
    {"E", SDL_SCANCODE_E, 'E', 0x12},
    {"R", SDL_SCANCODE_R, 'R', 0x13},
    {"T", SDL_SCANCODE_T, 'T', 0x14},
    {"Y", SDL_SCANCODE_Y, 'Y', 0x15},
    {"U", SDL_SCANCODE_U, 'U', 0x16},
    {"I", SDL_SCANCODE_I, 'I', 0x17},
    {"O", SDL_SCANCODE_O, 'O', 0x18},
    {"P", SDL_SCANCODE_P, 'P', 0x19},
    {"LeftBracket", SDL_SCANCODE_LEFTBRACKET, 219, 0x1A},
    {"RightBracket", SDL_SCANCODE_RIGHTBRACKET, 221, 0x1B},
    {"Enter", SDL_SCANCODE_RETURN, VGLK_ENTER, 0x1C},
    {"LeftCtrl", SDL_SCANCODE_LCTRL, VGLK_MODIFIER_B, 0x1D},
    {"A", SDL_SCANCODE_A, 'A', 0x1E},
    {"S", SDL_SCANCODE_S, 'S', 0x1F},
    {"D", SDL_SCANCODE_D, 'D', 0x20},
    {"F", SDL_SCANCODE_F, 'F', 0x21},
    {"G", SDL_SCANCODE_G, 'G', 0x22},
    {"H", SDL_SCANCODE_H, 'H', 0x23},
    {"J", SDL_SCANCODE_J, 'J', 0x24},
    {"K", SDL_SCANCODE_K, 'K', 0x25},
    {"L", SDL_SCANCODE_L, 'L', 0x26},
    {"Semicolon", SDL_SCANCODE_SEMICOLON, 186, 0x27},
    {"Apostrophe", SDL_SCANCODE_APOSTROPHE, 222, 0x28},
    {"Grave", SDL_SCANCODE_GRAVE, 192, 0x29},
    {"LeftShift", SDL_SCANCODE_LSHIFT, VGLK_MODIFIER_A, 0x2A},
    {"Backslash", SDL_SCANCODE_BACKSLASH, 220, 0x2B},
    {"Z", SDL_SCANCODE_Z, 'Z', 0x2C},
    {"X", SDL_SCANCODE_X, 'X', 0x2D},
    {"C", SDL_SCANCODE_C, 'C', 0x2E},
    {"V", SDL_SCANCODE_V, 'V', 0x2F},
    {"B", SDL_SCANCODE_B, 'B', 0x30},
    {"N", SDL_SCANCODE_N, 'N', 0x31},
    {"M", SDL_SCANCODE_M, 'M', 0x32},
    {"Comma", SDL_SCANCODE_COMMA, 188, 0x33},
    {"Period", SDL_SCANCODE_PERIOD, 190, 0x34},
    {"Slash", SDL_SCANCODE_SLASH, 191, 0x35},
    {"RightShift", SDL_SCANCODE_RSHIFT, VGLK_MODIFIER_A, 0x36},
    {"KeypadMultiply", SDL_SCANCODE_KP_MULTIPLY, 106, 0x37},
    {"LeftAlt", SDL_SCANCODE_LALT, 18, 0x38},
    {"Space", SDL_SCANCODE_SPACE, VGLK_SPACE, 0x39},
    {"CapsLock", SDL_SCANCODE_CAPSLOCK, 20, 0x3A},
    {"F1", SDL_SCANCODE_F1, VGLK_F1, 0x3B},
    {"F2", SDL_SCANCODE_F2, VGLK_F2, 0x3C},
    {"F3", SDL_SCANCODE_F3, VGLK_F3, 0x3D},
    {"F4", SDL_SCANCODE_F4, VGLK_F4, 0x3E},
    {"F5", SDL_SCANCODE_F5, VGLK_F5, 0x3F},
    {"F6", SDL_SCANCODE_F6, VGLK_F6, 0x40},
    {"F7", SDL_SCANCODE_F7, VGLK_F7, 0x41},
    {"F8", SDL_SCANCODE_F8, VGLK_F8, 0x42},
    {"F9", SDL_SCANCODE_F9, VGLK_F9, 0x43},
    {"F10", SDL_SCANCODE_F10, VGLK_F10, 0x44},
    {"NumLock", SDL_SCANCODE_NUMLOCKCLEAR, 144, 0x45},
    {"ScrollLock", SDL_SCANCODE_SCROLLLOCK, 145, 0x46},
    {"Keypad7", SDL_SCANCODE_KP_7, 103, 0x47},
    {"Keypad8", SDL_SCANCODE_KP_8, 104, 0x48},
    {"Keypad9", SDL_SCANCODE_KP_9, 105, 0x49},
    {"KeypadMinus", SDL_SCANCODE_KP_MINUS, 109, 0x4A},
    {"Keypad4", SDL_SCANCODE_KP_4, 100, 0x4B},
    {"Keypad5", SDL_SCANCODE_KP_5, 101, 0x4C},
    {"Keypad6", SDL_SCANCODE_KP_6, 102, 0x4D},
    {"KeypadPlus", SDL_SCANCODE_KP_PLUS, 107, 0x4E},
    {"Keypad1", SDL_SCANCODE_KP_1, 97, 0x4F},
    {"Keypad2", SDL_SCANCODE_KP_2, 98, 0x50},
    {"Keypad3", SDL_SCANCODE_KP_3, 99, 0x51},
    {"Keypad0", SDL_SCANCODE_KP_0, 96, 0x52},
    {"KeypadPeriod", SDL_SCANCODE_KP_PERIOD, 110, 0x53},
    {"NonUSBackslash", SDL_SCANCODE_NONUSBACKSLASH, 226, 0x56},
    {"F11", SDL_SCANCODE_F11, VGLK_F11, 0x57},
    {"F12", SDL_SCANCODE_F12, VGLK_F12, 0x58},
    {"KeypadEnter", SDL_SCANCODE_KP_ENTER, VGLK_THIRD_CLOSE, 0x9C},
    {"RightCtrl", SDL_SCANCODE_RCTRL, VGLK_MODIFIER_B, 0x9D},
    {"KeypadDivide", SDL_SCANCODE_KP_DIVIDE, 111, 0xB5},
    {"PrintScreen", SDL_SCANCODE_PRINTSCREEN, 44, 0xB7},
    {"RightAlt", SDL_SCANCODE_RALT, 18, 0xB8},
    {"Pause", SDL_SCANCODE_PAUSE, 19, 0xC5},
    {"Home", SDL_SCANCODE_HOME, 36, 0xC7},
    {"Up", SDL_SCANCODE_UP, 38, 0xC8},
    {"PageUp", SDL_SCANCODE_PAGEUP, 33, 0xC9},
    {"Left", SDL_SCANCODE_LEFT, 37, 0xCB},
    {"Right", SDL_SCANCODE_RIGHT, 39, 0xCD},
    {"End", SDL_SCANCODE_END, 35, 0xCF},
    {"Down", SDL_SCANCODE_DOWN, 40, 0xD0},
    {"PageDown", SDL_SCANCODE_PAGEDOWN, 34, 0xD1},
    {"Insert", SDL_SCANCODE_INSERT, 45, 0xD2},
    {"Delete", SDL_SCANCODE_DELETE, 46, 0xD3},
    {"LeftWindows", SDL_SCANCODE_LGUI, 91, 0xDB},
    {"RightWindows", SDL_SCANCODE_RGUI, 92, 0xDC},
    {"Menu", SDL_SCANCODE_APPLICATION, 93, 0xDD},
};
const int kKeyCount = (int)(sizeof(kKeys) / sizeof(kKeys[0]));

}  // namespace

const VKeyCode* VKeyCodeTable::FromSDLScancode(int sdlScancode) {
  for (const VKeyCode& k : kKeys)
    if (k.sdlScancode == sdlScancode) return &k;
  return nullptr;
}

const VKeyCode* VKeyCodeTable::FromName(const char* name) {
  if (!name) return nullptr;
  for (const VKeyCode& k : kKeys)
    if (_stricmp(k.name, name) == 0) return &k;
  return nullptr;
}

const VKeyCode* VKeyCodeTable::FromScanCode(int scanCode) {
  for (const VKeyCode& k : kKeys)
    if (k.scanCode == scanCode) return &k;
  return nullptr;
}

int VKeyCodeTable::GetCount() { return kKeyCount; }

const VKeyCode& VKeyCodeTable::GetAt(int index) { return kKeys[index < 0 ? 0 : (index >= kKeyCount ? kKeyCount - 1 : index)]; }
