// The replayed input that takes the real program from its intro to a new campaign:
// Escape skips the intro, then Start, the hero, the weapons' Forward, the second
// offer and Accept, clicked at their places on the 1280x720 screen.
#pragma once

#include "support/ScratchProgram.h"

#include <algorithm>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace new_game {

// 0.02 s a frame. The loading screen stays a second and fades; the menu's opening
// follows; by frame 150 the menu takes clicks.
inline const char* const kTimeStep = "0.02";

struct Point {
  int x, y;
};
// The menu's layout.
constexpr Point kStart{230, 313};
constexpr Point kExit{230, 590};
// The hero and weapon choice (their layouts).
constexpr Point kJack{177, 563};
constexpr Point kForward{1100, 627};
constexpr Point kSecondOffer{646, 540};
constexpr Point kAccept{1026, 645};
// The frame whose input the cutscene reads first: the smallest ENGINE_FRAMES whose
// headless log holds the campaign start, plus the two frames the campaign start
// draws itself, plus one. Measure it again when the menu's or the selections'
// animations change length.
constexpr int kCutsceneFrame = 490;
// Well after the cutscene and the loading screen: the world map.
constexpr int kWorldMapFrame = 690;
// The player's ship as the world is drawn (nation 1).
constexpr float kPlayerColour[3] = {0.20f, 0.40f, 0.90f};

inline int Find(const std::vector<std::string>& lines, const std::string& text, int start = 0) {
  for (int i = std::max(start, 0); i < (int)lines.size(); ++i)
    if (lines[i].find(text) != std::string::npos) return i;
  return -1;
}

// The lines holding the text among lines [from, to) (to -1: to the end).
inline int Count(const std::vector<std::string>& lines, const std::string& text, int from = 0, int to = -1) {
  if (to < 0) to = (int)lines.size();
  int n = 0;
  for (int i = std::max(from, 0); i < to; ++i) n += lines[i].find(text) != std::string::npos;
  return n;
}

// Runs the program on the replayed input for that many frames of kTimeStep, silent.
inline ScratchProgram::Result Play(ScratchProgram& program, const std::string& input, int frames,
                                   std::map<std::string, std::string> env = {}) {
  const std::string file = program.Root() + "/input.txt";
  std::ofstream(file) << input;
  env.insert({{"ENGINE_INPUT", file}, {"ENGINE_FRAMES", std::to_string(frames)}, {"ENGINE_TIMESTEP", kTimeStep},
              {"ENGINE_AUDIO", "null"}});
  return program.Run({}, env);
}

// The GUI takes the cursor's place when it draws: the pointer comes to rest a few
// frames before the click, as a player's does.
inline std::string Click(int frame, Point p, const char* button = "left") {
  return std::to_string(frame - 5) + " move " + std::to_string(p.x) + " " + std::to_string(p.y) + "\n" +
         std::to_string(frame) + " click " + button + "\n";
}

// Escape at frame 1, then Start, Jack, Forward, the second offer, Accept.
inline std::string NewGameClicks() {
  return "1 press Escape\n" + Click(150, kStart) + Click(260, kJack) + Click(300, kForward) +
         Click(400, kSecondOffer) + Click(420, kAccept);
}

}  // namespace new_game
