// A campaign saved and loaded by a player through the real program. The first run
// plays a new game into Saltmarsh and back (the town is found, the first story
// mission pays its money and a lasting compass and opens the next), then opens the
// in-game menu, saves into slot 3 and quits. The second run, on the same documents
// folder, loads slot 3 from the main menu's load list, opens the in-game menu as
// soon as the game shows and saves into slot 5: both files hold the same campaign,
// byte for byte, but for what the clock drives. A third run chooses a damaged copy
// in the load list: the load fails, the title screen stays and Exit still works.
// In a window the save also writes its preview, which the load list shows.
#include "e2e/NewGame.h"
#include "e2e/ScenePlay.h"
#include "engine/render/VImageFile.h"
#include "engine/render/VImageMap.h"
#include "support/ScratchProgram.h"
#include "support/XvfbDisplay.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

namespace {

using namespace new_game;
namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

// The town trip of the campaign test: a right click sets the ship sailing east
// into Saltmarsh, a right click walks the hero to the quay, Leave brings him back;
// by kBackAtSeaFrame the world map shows again (and its automatic save is made).
constexpr Point kEastOfTheShip{100, 360};
constexpr Point kQuay{640, 620};
constexpr Point kLeave{1200, 35};
constexpr int kBackAtSeaFrame = 1660;

// The main menu's Load, the in-game menu's Save and Exit to Windows, and the save
// and load screen's list rows (about 29 pixels each from y = 135; in save mode row
// N is slot N, the load list shows only the slots that hold a save) and button.
constexpr Point kMainMenuLoad{230, 382};
constexpr Point kMenuSave{640, 302};
constexpr Point kMenuExitToWindows{640, 523};
constexpr Point kRow[] = {{0, 0}, {400, 150}, {400, 178}, {400, 207}, {400, 236}, {400, 265}};
constexpr Point kSaveOrLoad{966, 605};
// The preview picture of the load list.
constexpr scene_play::Region kPreview{660, 136, 1097, 348};

// The notice of a failed load, high in the middle of the screen.
constexpr scene_play::Region kNotice{400, 95, 900, 140};
constexpr float kNoticeColour[3] = {1.0f, 0.78f, 0.07f};

// The load list is open well before kLoadFrame; its Load starts the menu's closing
// and the loaded game shows (and takes Escape) from about frame 355.
constexpr int kLoadFrame = 250;
constexpr int kGameShowsFrame = 360;

const char* const kFirstTime = "2026-03-14 09:26:53.589";
const char* const kSecondTime = "2026-03-15 18:05:07.042";

std::string RightClick(int frame, Point p) {
  return std::to_string(frame - 5) + " move " + std::to_string(p.x) + " " + std::to_string(p.y) + "\n" +
         std::to_string(frame) + " button right down\n" + std::to_string(frame + 2) + " button right up\n";
}

// Escape, Save, the row, the screen's Save; then Escape and Exit to Windows.
std::string SaveAndQuit(int frame, int slot) {
  return std::to_string(frame) + " press Escape\n" + Click(frame + 60, kMenuSave) + Click(frame + 100, kRow[slot]) +
         Click(frame + 140, kSaveOrLoad) + std::to_string(frame + 200) + " press Escape\n" +
         Click(frame + 260, kMenuExitToWindows);
}

std::string FirstRunInput() {
  return NewGameClicks() + RightClick(700, kEastOfTheShip) + RightClick(1400, kQuay) + Click(1580, kLeave) +
         SaveAndQuit(kBackAtSeaFrame + 40, 3);
}

// From the title screen: Load, the row (none: the first, selected), Load.
std::string LoadFromTitle(int row) {
  std::string input = "1 press Escape\n" + Click(150, kMainMenuLoad);
  if (row != 0) input += Click(kLoadFrame - 40, kRow[row]);
  return input + Click(kLoadFrame, kSaveOrLoad);
}

// ---- the save-game file ---------------------------------------------------------

Bytes ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

int32_t I32(const Bytes& b, size_t at) {
  int32_t v = 0;
  if (at + 4 <= b.size()) std::memcpy(&v, &b[at], 4);
  return v;
}

float F32(const Bytes& b, size_t at) {
  float v = 0;
  if (at + 4 <= b.size()) std::memcpy(&v, &b[at], 4);
  return v;
}

// An archive string at `at`: its text, `at` moved past it.
std::string Str(const Bytes& b, size_t& at) {
  const int32_t n = I32(b, at);
  at += 4;
  if (n <= 0 || at + n > b.size()) return {};
  std::string s(b.begin() + (std::ptrdiff_t)at, b.begin() + (std::ptrdiff_t)at + n);
  at += (size_t)n;
  return s;
}

// The header of save version 11, with where its two clock fields lie.
struct Header {
  int saveVersion = 0;
  std::string date, mission, stamp, programVersion, buildDate;
  int hero = 0;
  size_t clockAt = 0;  // engine timer and world time, 8 bytes
  size_t end = 0;
};

Header ReadHeader(const Bytes& b) {
  Header h;
  size_t at = 0;
  if (Str(b, at) != "ARCH") return h;
  at += 4;  // engine archive version
  h.saveVersion = at < b.size() ? b[at] : 0;
  ++at;
  h.date = Str(b, at);
  h.mission = Str(b, at);
  h.stamp = Str(b, at);
  h.hero = I32(b, at);
  at += 4;
  h.programVersion = Str(b, at);
  h.buildDate = Str(b, at);
  h.clockAt = at;
  h.end = at + 8;
  return h;
}

// The saved blocks as their tags nest them: "ARCH" and a version byte open one,
// "EOA" closes it (no field of these files holds those bytes by chance).
struct Block {
  size_t start = 0, end = 0;
  int version = 0;
  std::vector<Block> children;
};

Block ReadBlocks(const Bytes& b) {
  static const uint8_t kStart[] = {4, 0, 0, 0, 'A', 'R', 'C', 'H'};
  static const uint8_t kEnd[] = {3, 0, 0, 0, 'E', 'O', 'A'};
  std::vector<Block> open{Block{}};
  open[0].end = b.size();
  for (size_t i = 0; i < b.size();) {
    if (i + 9 <= b.size() && std::memcmp(&b[i], kStart, 8) == 0) {
      Block block;
      block.start = i;
      block.version = b[i + 8];
      open.push_back(block);
      i += 9;
    } else if (i + 7 <= b.size() && std::memcmp(&b[i], kEnd, 7) == 0 && open.size() > 1) {
      Block block = open.back();
      open.pop_back();
      block.end = i + 7;
      open.back().children.push_back(block);
      i += 7;
    } else {
      ++i;
    }
  }
  return open.size() == 1 && open[0].children.size() == 1 ? open[0].children[0] : Block{};
}

struct Span {
  size_t at, size;
  const char* what;
};

// Where the clock shows in a save: the header's timer and world time; of each
// ship's record its placement, stored as it rocks on the waves, and its movement
// component's roll and pitch phases (the rocking itself); the artifact manager's
// grog and tool cool-downs, which go on counting below 0.
void FindClockFields(const Bytes& b, const Block& block, std::vector<Span>& out) {
  const size_t fields = block.start + 9;
  // A ship record (ShipStats, version 12): four texts, nation and colour scheme, the
  // hull's and sails' blocks, the player flag, the unique id and the special weapon,
  // then position and orientation.
  if (block.version == 12 && block.children.size() >= 2) {
    size_t at = fields;
    for (int i = 0; i < 4; ++i) Str(b, at);
    at += 8;
    if (at == block.children[0].start) out.push_back({block.children[1].end + 1 + 8 + 4, 32, "ship placement"});
  }
  // The ship's component stream: its first component is the movement, version 3:
  // sixteen floats, then the roll and pitch phases.
  size_t at = fields;
  if (Str(b, at) == "<ShipStream>" && !block.children.empty() && !block.children[0].children.empty()) {
    const Block& movement = block.children[0].children[0];
    if (movement.version == 3) out.push_back({movement.start + 9 + 16 * 4, 8, "roll and pitch phase"});
  }
  for (const Block& child : block.children) FindClockFields(b, child, out);
}

// The artifact manager's block, the last but one of the file: four lists of
// (id, time, effect), then the two cool-downs.
size_t ArtifactCooldowns(const Bytes& b, const Block& artifacts) {
  size_t at = artifacts.start + 9;
  for (int list = 0; list < 4; ++list) at += 4 + 12 * (size_t)I32(b, at);
  return at;
}

// The permanent artifacts: ids and effects.
std::map<int, float> PermanentArtifacts(const Bytes& b, const Block& artifacts) {
  size_t at = artifacts.start + 9;
  for (int list = 0; list < 3; ++list) at += 4 + 12 * (size_t)I32(b, at);
  std::map<int, float> ids;
  const int n = I32(b, at);
  for (int i = 0; i < n; ++i) ids[I32(b, at + 4 + 12 * i)] = F32(b, at + 4 + 12 * i + 8);
  return ids;
}

// The achievement manager's progress values (the last block: a count, then
// (id, value, campaign bound) blocks).
std::map<int, float> AchievementValues(const Bytes& b, const Block& achievements) {
  std::map<int, float> values;
  for (const Block& value : achievements.children) values[I32(b, value.start + 9)] = F32(b, value.start + 13);
  return values;
}

// The camera entity's position: it eases after the ship, so a save made while it
// catches up holds where it was then. Its record ends with its input component
// (version byte, name, id, flags), then the engine's 3-D object data: a version
// byte and the position.
size_t CameraPosition(const Bytes& b) {
  static const std::string kName = "CameraInputComponent";
  const std::string text(b.begin(), b.end());
  const size_t at = text.find(kName);
  return at == std::string::npos ? 0 : at + kName.size() + 1 + 4 + 4 + 4 + 1;
}

// Compares two saves of one campaign with the clock-driven fields masked; every
// difference left is reported by its offset.
void ExpectSameCampaign(const Bytes& first, const Bytes& second) {
  ASSERT_EQ(first.size(), second.size());
  const Header h1 = ReadHeader(first), h2 = ReadHeader(second);
  EXPECT_EQ(h1.mission, h2.mission);
  EXPECT_EQ(h1.hero, h2.hero);
  EXPECT_EQ(h1.programVersion, h2.programVersion);
  const Block b1 = ReadBlocks(first), b2 = ReadBlocks(second);
  ASSERT_FALSE(b1.children.empty());
  ASSERT_EQ(b1.children.size(), b2.children.size());

  std::vector<Span> masked{{0, h1.end, "header"}};
  FindClockFields(first, b1, masked);
  std::vector<Span> masked2{{0, h2.end, "header"}};
  FindClockFields(second, b2, masked2);
  const Block& artifacts = b1.children[b1.children.size() - 2];
  masked.push_back({ArtifactCooldowns(first, artifacts), 8, "grog and tool cool-down"});
  masked2.push_back({ArtifactCooldowns(second, b2.children[b2.children.size() - 2]), 8, "grog and tool cool-down"});
  ASSERT_GT(CameraPosition(first), 0u);
  masked.push_back({CameraPosition(first), 16, "camera position"});
  masked2.push_back({CameraPosition(second), 16, "camera position"});
  ASSERT_EQ(masked.size(), masked2.size());
  for (size_t i = 0; i < masked.size(); ++i) EXPECT_EQ(masked[i].at, masked2[i].at) << masked[i].what;
  EXPECT_EQ(masked.size(), 5u) << "the header, the ship's placement and phases, the cool-downs, the camera";

  std::vector<bool> skip(first.size(), false);
  for (const Span& s : masked)
    for (size_t i = s.at; i < s.at + s.size && i < skip.size(); ++i) skip[i] = true;
  int differences = 0;
  for (size_t i = 0; i < first.size(); ++i) {
    if (skip[i] || first[i] == second[i]) continue;
    if (++differences <= 10) ADD_FAILURE() << "byte " << i << " differs: " << (int)first[i] << " / " << (int)second[i];
  }
  EXPECT_EQ(differences, 0);
}

// ---- the runs ---------------------------------------------------------------------

class SaveLoadEndToEnd : public ::testing::Test {
 protected:
  fs::path SaveFolder() const { return fs::path(program.DocumentsDir()) / "Fenwold" / "Brinemark" / "SaveGames"; }

  ScratchProgram::Result Run(const std::string& input, int frames, const char* localTime) {
    const std::string file = program.Root() + "/input.txt";
    std::ofstream(file) << input;
    std::map<std::string, std::string> env{{"ENGINE_INPUT", file},
                                           {"ENGINE_FRAMES", std::to_string(frames)},
                                           {"ENGINE_TIMESTEP", kTimeStep},
                                           {"ENGINE_AUDIO", "null"},
                                           {"ENGINE_LOCAL_TIME", localTime}};
    if (display) {
      env["DISPLAY"] = display->Name();
      env["ENGINE_VIDEO"] = "gl";
      env["WAYLAND_DISPLAY"] = "";
    }
    ScratchProgram::Result r = program.Run({}, env);
    EXPECT_EQ(r.exitStatus, 0) << r.err;
    return r;
  }

  // Run 1: the town trip, then a player's save into slot 3 and Exit to Windows.
  void PlayAndSave() {
    Run(FirstRunInput(), 2400, kFirstTime);
    const std::vector<std::string> log = program.ReadLog();
    EXPECT_GE(Find(log, "Lua: Missions: the story goes on to Fort Amber"), 0);
    EXPECT_GE(Find(log, "SaveGame(3): "), 0);
    EXPECT_LT(Find(log, "ENGINE_FRAMES reached"), 0) << "Exit to Windows ends the program";
    ASSERT_TRUE(fs::exists(SaveFolder() / "save3.gam"));
  }

  // Run 2: slot 3 from the title screen's load list, then saved into slot 5.
  void LoadAndSaveAgain(const std::string& extraInput = "") {
    Run(LoadFromTitle(0) + SaveAndQuit(kGameShowsFrame, 5) + extraInput, 900, kSecondTime);
    const std::vector<std::string> log = program.ReadLog();
    const int loaded = Find(log, "LoadSlotIntoNewCampaign(3): ");
    EXPECT_GE(loaded, 0);
    // The campaign's money is back (the reward of the first story mission).
    EXPECT_GT(Find(log, "Lua: Game loaded: money 250", loaded), loaded);
    EXPECT_GT(Find(log, "SaveGame(5): ", loaded), loaded);
    EXPECT_LT(Find(log, "Fatal"), 0);
    ASSERT_TRUE(fs::exists(SaveFolder() / "save5.gam"));
  }

  // Run 3: a copy of the save with one byte of a tag changed where only reading the
  // whole file finds it (the town manager's block), chosen in the load list as
  // slot 4. The load fails, the title screen stays and its Exit ends the program.
  void LoadADamagedCopy(const Bytes& save, const std::string& extraInput = "") {
    // The managers' nine blocks end the file, the town manager's first.
    const Block blocks = ReadBlocks(save);
    ASSERT_GE(blocks.children.size(), 9u);
    const Block& towns = blocks.children[blocks.children.size() - 9];
    ASSERT_EQ(towns.version, 3);
    Bytes damaged = save;
    damaged[towns.start + 5] = 'X';
    std::ofstream(SaveFolder() / "save4.gam", std::ios::binary)
        .write(reinterpret_cast<const char*>(damaged.data()), (std::streamsize)damaged.size());
    // The list holds slots 3, 4, 5 and 20: slot 4 is its second row.
    Run(LoadFromTitle(2) + extraInput + Click(700, kExit), 1500, kSecondTime);
    const std::vector<std::string> log = program.ReadLog();
    EXPECT_GE(Find(log, "LoadSlotIntoNewCampaign(4): the save game failed while being read; back to the main menu"), 0);
    EXPECT_LT(Find(log, "Fatal"), 0);
    EXPECT_LT(Find(log, "ENGINE_FRAMES reached"), 0) << "Exit on the title screen ends the program";
  }

  ScratchProgram program = MakeScratchProgram();
  std::unique_ptr<XvfbDisplay> display;
};

TEST_F(SaveLoadEndToEnd, HeadlessAPlayersSaveLoadsTheCampaignBackAndADamagedOneKeepsTheTitleScreen) {
  PlayAndSave();
  LoadAndSaveAgain();
  const Bytes first = ReadBytes(SaveFolder() / "save3.gam");
  const Bytes second = ReadBytes(SaveFolder() / "save5.gam");

  // What the first run made is in the first file: the next story mission tracked,
  // the compass for good, one town found.
  const Header h1 = ReadHeader(first), h2 = ReadHeader(second);
  EXPECT_EQ(h1.saveVersion, 11);
  EXPECT_EQ(h1.mission, "str_STORY_MISSION_FORT_AMBER");
  EXPECT_EQ(h1.hero, 3);
  EXPECT_EQ(h1.date, "3.14.2026 - 09:26");
  EXPECT_EQ(h1.stamp, "202603140926530589");
  EXPECT_EQ(h2.date, "3.15.2026 - 18:05");
  EXPECT_EQ(h2.stamp, "202603151805070042");
  const Block blocks = ReadBlocks(first);
  ASSERT_GE(blocks.children.size(), 2u);
  const std::map<int, float> permanent = PermanentArtifacts(first, blocks.children[blocks.children.size() - 2]);
  EXPECT_EQ(permanent.count(16), 1u) << "the compass";
  const std::map<int, float> values = AchievementValues(first, blocks.children.back());
  EXPECT_EQ(values.count(16), 1u);
  EXPECT_EQ(values.count(16) ? values.at(16) : -1.0f, 1.0f) << "towns found";
  // Saltmarsh keeps its script values: found, one visit.
  const std::string text(first.begin(), first.end());
  EXPECT_NE(text.find("iVisits"), std::string::npos);

  ExpectSameCampaign(first, second);

  LoadADamagedCopy(first);
}

}  // namespace

namespace {

// Mean colour of a part of a picture (rows from the top, `channels` bytes a pixel).
struct Mean {
  double r = 0, g = 0, b = 0;
};

Mean MeanColour(const uint8_t* pixels, int width, int channels, int x0, int y0, int x1, int y1) {
  Mean m;
  int n = 0;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) {
      const uint8_t* p = pixels + ((size_t)y * width + x) * channels;
      m.r += p[0];
      m.g += p[1];
      m.b += p[2];
      ++n;
    }
  if (n > 0) {
    m.r /= n;
    m.g /= n;
    m.b /= n;
  }
  return m;
}

TEST_F(SaveLoadEndToEnd, InAWindowTheSaveWritesItsPreviewAndTheLoadListShowsIt) {
  if (!XvfbDisplay::IsInstalled()) GTEST_SKIP() << "Xvfb is not installed: the window cannot be tested";
  display = std::make_unique<XvfbDisplay>(1280, 720);
  ASSERT_TRUE(display->IsRunning()) << display->Error();

  PlayAndSave();
  // The preview: the scene without the GUI, 320 x 200, a JPEG that decodes, and a
  // picture (the sea and the ship), not one flat colour.
  VImageMap preview;
  ASSERT_TRUE(VImageMap::DecodeJpeg(ReadBytes(SaveFolder() / "save3.jpg"), preview));
  ASSERT_EQ(preview.GetWidth(), 320);
  ASSERT_EQ(preview.GetHeight(), 200);
  int lo = 255, hi = 0;
  for (uint8_t v : preview.GetData()) {
    lo = std::min<int>(lo, v);
    hi = std::max<int>(hi, v);
  }
  EXPECT_GT(hi - lo, 60);

  // The load list, shot before its Load is clicked: slot 3 is selected and its
  // preview fills the picture; each part of it has the colour of the same part of
  // the JPEG.
  LoadAndSaveAgain(std::to_string(kLoadFrame - 10) + " press F8\n");
  VImage shot;
  ASSERT_TRUE(VImageFile::Read((program.ProgramDir() + "/Screenshot_0001.png").c_str(), shot));
  ASSERT_EQ(shot.width, 1280);
  // The middle half of each of 4 x 3 cells, on the screen and in the JPEG.
  const int cols = 4, rows = 3;
  const int w = kPreview.x1 - kPreview.x0, h = kPreview.y1 - kPreview.y0;
  const Mean whole = MeanColour(preview.GetData().data(), 320, 3, 0, 0, 320, 200);
  double worst = 0, spread = 0;
  for (int cy = 0; cy < rows; ++cy)
    for (int cx = 0; cx < cols; ++cx) {
      const int sx = kPreview.x0 + w * (4 * cx + 1) / (4 * cols), sy = kPreview.y0 + h * (4 * cy + 1) / (4 * rows);
      const int jx = 320 * (4 * cx + 1) / (4 * cols), jy = 200 * (4 * cy + 1) / (4 * rows);
      const Mean screen = MeanColour(shot.rgba.data(), shot.width, 4, sx, sy, sx + w / (2 * cols), sy + h / (2 * rows));
      const Mean jpeg = MeanColour(preview.GetData().data(), 320, 3, jx, jy, jx + 320 / (2 * cols), jy + 200 / (2 * rows));
      worst = std::max({worst, std::abs(screen.r - jpeg.r), std::abs(screen.g - jpeg.g), std::abs(screen.b - jpeg.b)});
      spread = std::max({spread, std::abs(jpeg.r - whole.r), std::abs(jpeg.g - whole.g), std::abs(jpeg.b - whole.b)});
    }
  EXPECT_LT(worst, 24.0) << "the load list's preview against the slot's JPEG";
  // Its parts differ from its mean by far more: another picture would not pass.
  EXPECT_GT(spread, 2 * 24.0);

  // The second save wrote its own preview, and the same campaign.
  EXPECT_TRUE(fs::exists(SaveFolder() / "save5.jpg"));
  ExpectSameCampaign(ReadBytes(SaveFolder() / "save3.gam"), ReadBytes(SaveFolder() / "save5.gam"));

  // The damaged copy: the title screen shows again with the notice above it. (Shots
  // are numbered after those already there.)
  fs::remove(program.ProgramDir() + "/Screenshot_0001.png");
  LoadADamagedCopy(ReadBytes(SaveFolder() / "save3.gam"), "450 press F8\n");
  VImage title;
  ASSERT_TRUE(VImageFile::Read((program.ProgramDir() + "/Screenshot_0001.png").c_str(), title));
  EXPECT_GT(scene_play::FindColour(title, kNoticeColour, kNotice, 0.08f).count, 300) << "the notice";
}

}  // namespace
