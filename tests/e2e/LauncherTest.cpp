// End-to-end runs of the real launcher, headless, in a scratch program tree with a
// scratch documents folder: the start-up log, the command line, the start
// parameters, the fatal paths and the update check against a local server.
#include "support/LocalHttpServer.h"
#include "support/ScratchProgram.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {
const std::map<std::string, std::string> kHeadless = {{"ENGINE_FRAMES", "5"}, {"ENGINE_TIMESTEP", "0.02"}};

std::map<std::string, std::string> With(std::map<std::string, std::string> env,
                                        const std::map<std::string, std::string>& more) {
  for (const auto& [k, v] : more) env[k] = v;
  return env;
}

// Index of the first line at or after start that contains the text, or -1.
int Find(const std::vector<std::string>& lines, const std::string& text, int start = 0) {
  for (int i = std::max(start, 0); i < (int)lines.size(); ++i)
    if (lines[i].find(text) != std::string::npos) return i;
  return -1;
}

std::vector<std::string> Matching(const std::vector<std::string>& lines, const std::string& text, int from = 0,
                                  int to = -1) {
  std::vector<std::string> out;
  for (int i = from; i < (to < 0 ? (int)lines.size() : to); ++i)
    if (lines[i].find(text) != std::string::npos) out.push_back(lines[i]);
  return out;
}

// MD5 in lower-case hex through the system's md5sum.
std::string Md5OfFile(const std::string& path) {
  std::string command = "md5sum '" + path + "'";
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return std::string();
  char digest[33] = {};
  const size_t n = fread(digest, 1, 32, pipe);
  pclose(pipe);
  return std::string(digest, n);
}

std::string Md5OfText(const ScratchProgram& program, const std::string& text) {
  const std::string path = program.Root() + "/md5-input";
  std::ofstream(path, std::ios::binary) << text;
  return Md5OfFile(path);
}

class LauncherTest : public ::testing::Test {
 protected:
  ScratchProgram program = MakeScratchProgram();
};

TEST_F(LauncherTest, HeadlessRunLogsTheStartUpInOrderAndExitsCleanly) {
  const ScratchProgram::Result r = program.Run({"-VSync", "0"}, kHeadless);
  ASSERT_EQ(r.exitStatus, 0) << r.err;
  const std::vector<std::string> log = program.ReadLog();
  const std::string rule(74, '-');

  const int option = Find(log, "Command line option: VSync=0");
  const int banner = Find(log, "Brinemark 1,0,2,7542 2011/08/06 02:17:32");
  ASSERT_GE(option, 0);
  ASSERT_GT(banner, option);
  EXPECT_EQ(log[banner - 1], rule);
  EXPECT_EQ(log[banner + 1], rule);

  // The data folders that exist in the tree, in the order they are tried.
  const char* const names[] = {"data\\models", "data\\textures", "data\\meshes", "data\\sounds", "data\\misc",
                               "base",         "data",           "data\\music",  "data\\scenes", "savegames"};
  std::vector<std::string> expected;
  for (const char* name : names) {
    std::string relative = name;
    std::replace(relative.begin(), relative.end(), '\\', '/');
    if (fs::is_directory(program.Root() + "/" + relative))
      expected.push_back(std::string("Adding data directory \".\\..\\..\\..\\") + name + "\"");
  }
  ASSERT_FALSE(expected.empty());
  const int firstFolder = Find(log, "Adding data directory");
  EXPECT_GT(firstFolder, banner);
  EXPECT_EQ(Matching(log, "Adding data directory"), expected);
  const int output = Find(log, "Output directory is \"" + program.ProgramDir() + "\"");
  EXPECT_GT(output, firstFolder + (int)expected.size() - 1);

  // The game plug-in started after the engine, and the loop ended on the frame limit.
  const int engine = Find(log, "Engine start:");
  EXPECT_GT(engine, output);
  EXPECT_GT(Find(log, "Engine plug-in Tidework loaded"), engine);
  EXPECT_GE(Find(log, "ENGINE_FRAMES reached"), 0);
  // Of the physics parameters only the drawing switch has nowhere to go, and says so.
  EXPECT_EQ(Matching(log, "Physics parameter"),
            std::vector<std::string>{
                "Warning: Physics parameter 29 (joint limit drawing) = 1 refused: the simulation has no such setting"});
  // The first start writes update.bin with the start values.
  EXPECT_EQ(ScratchProgram::ReadFile(program.DocumentsDir() + "/Fenwold/Brinemark/update.bin"),
            "q7vd0wm2xj5ht8nb3kc6fa1ly9ers4go\nq7vd0wm2xj5ht8nb3kc6fa1ly9ers4go\n");
}

TEST_F(LauncherTest, CommandLineIsAppliedBeforeAndAfterTheEngineStart) {
  const ScratchProgram::Result r = program.Run({"-Windowed", "-resolutionx=1024", "-Adapter", "-1"}, kHeadless);
  ASSERT_EQ(r.exitStatus, 0) << r.err;
  const std::vector<std::string> log = program.ReadLog();
  const int banner = Find(log, "Brinemark 1,0,2,7542");
  const int engine = Find(log, "Engine start:");
  ASSERT_GT(engine, banner);
  EXPECT_EQ(Matching(log, "Command line option", 0, banner),
            (std::vector<std::string>{"Command line option: Windowed", "Command line option: resolutionx=1024",
                                      "Command line option: Adapter=-1", "Command line option: 1"}));
  // On the second pass "Windowed" is a key and takes the following word.
  EXPECT_EQ(Matching(log, "Command line option", engine),
            (std::vector<std::string>{"Command line option: Windowed=-resolutionx",
                                      "Command line option: resolutionx=1024", "Command line option: Adapter=-1",
                                      "Command line option: 1"}));
}

struct StartCase {
  std::vector<std::string> args;
  const char* initSample;   // what InitSample was given
  const char* engineInput;  // the input flags the engine started with
  friend void PrintTo(const StartCase& c, std::ostream* os) {
    if (c.args.empty()) *os << "no arguments";
    for (const std::string& a : c.args) *os << a << ' ';
  }
};

class LauncherStartParameters : public LauncherTest, public ::testing::WithParamInterface<StartCase> {};

TEST_P(LauncherStartParameters, ReachInitSampleAndTheEngine) {
  const ScratchProgram::Result r = program.Run(GetParam().args, kHeadless);
  ASSERT_EQ(r.exitStatus, 0) << r.err;
  const std::vector<std::string> log = program.ReadLog();
  const std::vector<std::string> init = Matching(log, "InitSample:");
  ASSERT_EQ(init.size(), 1u);
  EXPECT_EQ(init[0], GetParam().initSample);
  const std::vector<std::string> engine = Matching(log, "Engine start:");
  ASSERT_EQ(engine.size(), 1u);
  EXPECT_NE(engine[0].find(GetParam().engineInput), std::string::npos) << engine[0];
}

INSTANTIATE_TEST_SUITE_P(
    Options, LauncherStartParameters,
    ::testing::Values(StartCase{{}, "InitSample: 1280x720 flags=0x8011 input=0xD2", "input=0xD2"},
                      StartCase{{"-Windowed"}, "InitSample: 1280x720 flags=0x8010 input=0xD2", "input=0xD2"},
                      StartCase{{"-ResolutionX", "1024", "-ResolutionY=600"}, "InitSample: 1024x600 flags=0x8011 input=0xD2",
                                "input=0xD2"},
                      StartCase{{"-ResolutionX=0", "-ResolutionY"}, "InitSample: 1280x720 flags=0x8011 input=0xD2",
                                "input=0xD2"},
                      StartCase{{"-MouseUseDInput", "0"}, "InitSample: 1280x720 flags=0x8011 input=0x52", "input=0x52"},
                      StartCase{{"-no_dinput_mouse", "-no_capture_mouse"}, "InitSample: 1280x720 flags=0x8011 input=0x52",
                                "input=0x52"}));

struct MissingCase {
  const char* file;
  const char* fatal;
  friend void PrintTo(const MissingCase& c, std::ostream* os) { *os << c.file; }
};

class LauncherMissingLibrary : public LauncherTest, public ::testing::WithParamInterface<MissingCase> {};

TEST_P(LauncherMissingLibrary, EndsWithTheFatalText) {
  ASSERT_TRUE(program.RemoveFile(GetParam().file));
  const ScratchProgram::Result r = program.Run({}, kHeadless);
  EXPECT_NE(r.exitStatus, 0);
  EXPECT_NE(r.exitStatus, -1);
  EXPECT_NE(r.err.find(std::string(GetParam().fatal) + "\n"), std::string::npos) << r.err;
  const std::vector<std::string> log = program.ReadLog();
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log.back(), GetParam().fatal);
}

INSTANTIATE_TEST_SUITE_P(Libraries, LauncherMissingLibrary,
                         ::testing::Values(MissingCase{"libvPhysX.so", "Could not load vPhysX.rEradov(D)"},
                                           MissingCase{"libSoundEnginePlugin.so", "Could not load SoundEnginePlugin.rEradov(D)"},
                                           MissingCase{"libVisionEnginePlugin.so", "Could not load VisionEnginePlugin.rEradov(D)"},
                                           MissingCase{"libTidework.so", "Could not load Tidework.rEradov(D)"}));

TEST_F(LauncherTest, FailedEngineStartEndsWithMinusOneAndNoFurtherStep) {
  const ScratchProgram::Result r = program.Run({"-VSync", "0"}, With(kHeadless, {{"ENGINE_FAIL_INIT", "1"}}));
  EXPECT_EQ(r.exitStatus, 255);
  const std::vector<std::string> log = program.ReadLog();
  const int box = Find(log, "Failed to initialize the engine");
  ASSERT_GE(box, 0);
  // Neither the second command-line pass nor anything after it ran.
  EXPECT_EQ(Matching(log, "Command line option").size(), 1u);
  EXPECT_LT(Find(log, "Engine plug-in Tidework loaded"), 0);
  EXPECT_LT(Find(log, "ENGINE_FRAMES reached"), 0);
}

// Update check -----------------------------------------------------------------

class LauncherUpdateTest : public LauncherTest {
 protected:
  std::map<std::string, std::string> Env(const char* answer = "no") {
    return With(kHeadless, {{"BRINEMARK_UPDATE_URL", server.Url("/")}, {"ENGINE_MESSAGEBOX", answer}});
  }
  void Reply(const std::string& text) { server.SetResponse(LocalHttpServer::Text(text)); }
  std::string UpdateBin() const {
    return ScratchProgram::ReadFile(program.DocumentsDir() + "/Fenwold/Brinemark/update.bin");
  }
  LocalHttpServer server;
};

TEST_F(LauncherUpdateTest, PostsOneFormWithTheProgramDigestAndItsChecksum) {
  Reply("Reply_CheckForUpdates;reply=0;}");
  const ScratchProgram::Result r = program.Run({}, Env());
  ASSERT_EQ(r.exitStatus, 0) << r.err;
  const std::vector<LocalHttpServer::Request> requests = server.Requests();
  ASSERT_EQ(requests.size(), 1u);
  const LocalHttpServer::Request& post = requests[0];
  EXPECT_EQ(post.method, "POST");
  EXPECT_EQ(post.path, "/server_access.php");
  EXPECT_EQ(post.Header("Content-Type"), "application/x-www-form-urlencoded");

  const std::string binary = Md5OfFile(program.ProgramPath());
  ASSERT_EQ(binary.size(), 32u);
  const std::string query = "cmd=CheckForUpdates&version=1,0,2,7542&language=en&key=q7vd0wm2xj5ht8nb3kc6fa1ly9ers4go"
                            "&storeid=q7vd0wm2xj5ht8nb3kc6fa1ly9ers4go&binary=" + binary + "&dlc=nodlc&prod=49330";
  EXPECT_EQ(post.body, query + "&checksum=" + Md5OfText(program, query + "71+k+58"));
  EXPECT_EQ(post.Header("Content-Length"), std::to_string(post.body.size()));
  // No offer: the game starts.
  EXPECT_GE(Find(program.ReadLog(), "Brinemark 1,0,2,7542"), 0);
}

TEST_F(LauncherUpdateTest, UpdateBinIsReadBackAndTakesAValidUpdateKey) {
  fs::create_directories(program.DocumentsDir() + "/Fenwold/Brinemark");
  std::ofstream(program.DocumentsDir() + "/Fenwold/Brinemark/update.bin") << "storedkey1\r\nstoredstore2\r\n";
  Reply("Reply_CheckForUpdates;reply=0;updatekey=NewKey42;}");
  ASSERT_EQ(program.Run({}, Env()).exitStatus, 0);
  ASSERT_EQ(server.RequestCount(), 1u);
  EXPECT_NE(server.Requests()[0].body.find("&key=storedkey1&storeid=storedstore2&"), std::string::npos);
  EXPECT_EQ(UpdateBin(), "NewKey42\nstoredstore2\n");

  // A key that is not plain letters and digits is refused.
  Reply("Reply_CheckForUpdates;reply=0;updatekey=bad&key=x;}");
  ASSERT_EQ(program.Run({}, Env()).exitStatus, 0);
  EXPECT_EQ(UpdateBin(), "NewKey42\nstoredstore2\n");
}

TEST_F(LauncherUpdateTest, AcceptedOfferOpensTheAddressAndStartsNothing) {
  Reply("Reply_CheckForUpdates;reply=1;storeurl=http://store.invalid/;url=http://update.invalid/get;desc=Version 2;}");
  const ScratchProgram::Result r = program.Run({}, Env("yes"));
  EXPECT_EQ(r.exitStatus, 0) << r.err;
  const std::vector<std::string> log = program.ReadLog();
  EXPECT_GE(Find(log, "New update available!"), 0);
  EXPECT_GE(Find(log, "Version 2"), 0);
  // The update address, not the store address found inside "storeurl=".
  EXPECT_GE(Find(log, "Shell open: http://update.invalid/get"), 0);
  EXPECT_LT(Find(log, "Brinemark 1,0,2,7542"), 0);
  EXPECT_LT(Find(log, "Engine plug-in"), 0);
  EXPECT_LT(Find(log, "Engine start:"), 0);
}

TEST_F(LauncherUpdateTest, DeclinedOrUnsafeOffersLetTheGameStart) {
  Reply("Reply_CheckForUpdates;reply=1;url=http://update.invalid/get;desc=Version 2;}");
  ASSERT_EQ(program.Run({}, Env("no")).exitStatus, 0);
  std::vector<std::string> log = program.ReadLog();
  EXPECT_LT(Find(log, "Shell open:"), 0);
  EXPECT_GE(Find(log, "Brinemark 1,0,2,7542"), 0);

  // Only a web address goes to the shell.
  Reply("Reply_CheckForUpdates;reply=1;url=file:///etc/passwd;desc=Version 2;}");
  ASSERT_EQ(program.Run({}, Env("yes")).exitStatus, 0);
  log = program.ReadLog();
  EXPECT_LT(Find(log, "Shell open:"), 0);
  EXPECT_GE(Find(log, "Update address refused: file:///etc/passwd"), 0);
  EXPECT_GE(Find(log, "Engine plug-in Tidework loaded"), 0);
}
}  // namespace
