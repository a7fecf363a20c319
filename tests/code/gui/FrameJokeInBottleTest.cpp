// The joke frame as the joke manager fills it: the read count first, then all
// jokes; the scroll unrolling with the frame time, and the show-jokes box.
#include "code/gui/GuiFrameTesting.h"
#include "support/ScopedEnv.h"

#include "Managers/JokeManager.h"
#include "Managers/LocalizationTable.h"
#include "Managers/SaveGameManager.h"
#include "engine/sound/VSoundManager.h"
#include "engine/sound/VSoundObject.h"
#include "engine/sound/VSoundResource.h"
#include "gui/FrameJokeInBottle.h"
#include "util/MathTools.h"

#include <filesystem>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

// Ten jokes, of which the first three draws are read; jokes.bin in a scratch folder.
class JokeWorld {
 public:
  JokeWorld()
      : m_documents(fs::temp_directory_path() / ("brinemark_jokeframe_" + std::to_string(getpid()))),
        m_docs("ENGINE_DOCUMENTS_DIR", (fs::remove_all(m_documents), m_documents.c_str())) {
    std::istringstream jokes("a\nb\nc\nd\ne\nf\ng\nh\ni\nj\n");
    LocalizationTable::GetInstance()->ReadJokes(jokes);
    JokeManager::GetInstance()->Initialize();
    MathTools::SetUseFixedRandom(true);
    for (int i = 0; i < 3; ++i) JokeManager::GetInstance()->GetRandomJoke(last);
    MathTools::SetUseFixedRandom(false);
  }
  ~JokeWorld() {
    JokeManager::CleanInstance();
    LocalizationTable::CleanInstance();
    SaveGameManagerProto::CleanInstance();
    fs::remove_all(m_documents);
  }
  CEGUI::String last;

 private:
  fs::path m_documents;
  ScopedEnv m_docs;
};

TEST(FrameJokeInBottle, CountsTheReadJokesAndRestartsTheUnrolling) {
  JokeWorld world;
  FrameJokeInBottle frame;
  frame.InitWindow(world.last, true);
  EXPECT_EQ(frame.GetCounterText(), "3/10");
  EXPECT_EQ(frame.GetJokeText(), "c");
  EXPECT_TRUE(frame.IsAnimating());
  EXPECT_FLOAT_EQ(frame.GetAnimationTimer(), 0.7f);
}

class JokeFrameTest : public GuiFrameTest {
 protected:
  void SetUp() override {
    GuiFrameTest::SetUp();
    gui->ShowFrame(WT_FADE_OUT);
    VSoundManager::GlobalManager().SetInitialized(true);
    SoundManager::GetInstance()->AddSFXSound(SOUND_SFX_JOKE, "Sounds\\joke.wav", true, false, 0.0f);
  }
  void TearDown() override {
    world.reset();
    GuiFrameTest::TearDown();
    VSoundManager::GlobalManager().SetInitialized(false);
  }
  FrameJokeInBottle* Show() {
    world = std::make_unique<JokeWorld>();
    JokeManager::GetInstance()->ShowJokeFrame(world->last);
    auto* frame = dynamic_cast<FrameJokeInBottle*>(gui->FindWindowA(WT_JOKE_IN_BOTTLE));
    EXPECT_TRUE(frame && gui->IsWindowVisible(WT_JOKE_IN_BOTTLE));
    return gui->IsWindowVisible(WT_JOKE_IN_BOTTLE) ? frame : nullptr;
  }
  CEGUI::Window* Widget(const char* name) {
    BaseWindow* frame = gui->FindWindowA(WT_JOKE_IN_BOTTLE);
    return frame ? frame->GetComponent(name) : nullptr;
  }
  // Offsets of the scroll pieces from the frame's centre: x and y of both ends and
  // the middle, then the middle's width.
  std::vector<float> Scroll() {
    std::vector<float> out;
    for (const char* piece : {"JokeInBottle/JokeFrame/LeftScroll", "JokeInBottle/JokeFrame/RightScroll",
                              "JokeInBottle/JokeFrame/CenterScroll"}) {
      const CEGUI::UVector2 p = Widget(piece)->getPosition();
      EXPECT_FLOAT_EQ(p.d_x.d_scale, 0.5f);
      EXPECT_FLOAT_EQ(p.d_y.d_scale, 0.5f);
      out.push_back(p.d_x.d_offset);
      out.push_back(p.d_y.d_offset);
    }
    out.push_back(Widget("JokeInBottle/JokeFrame/CenterScroll")->getWidth().d_offset);
    return out;
  }
  static int JokeSounds() {
    int count = 0;
    VSoundManager& sounds = VSoundManager::GlobalManager();
    for (int i = 0; i < sounds.GetInstanceCount(); ++i)
      if (std::string(sounds.GetInstance(i)->GetResource()->GetFileName()).find("joke.wav") != std::string::npos)
        ++count;
    return count;
  }

  std::unique_ptr<JokeWorld> world;
};

TEST_F(JokeFrameTest, ShowsTheJokeTheCountAndATickedBox) {
  ASSERT_NE(Show(), nullptr);
  LocalizationTable* texts = LocalizationTable::GetInstance();
  EXPECT_EQ(Widget("JokeInBottle/JokeFrame/TitleFrame/JokeCounterLabel")->getText(), "3/10");
  EXPECT_EQ(Widget("JokeInBottle/JokeFrame/CenterScroll/JokeText")->getText(), "c");
  EXPECT_EQ(Widget("JokeInBottle/JokeFrame/TitleFrame/Title")->getText(), texts->GetText("str_JOKE_FOUND"));
  EXPECT_EQ(Widget("JokeInBottle/JokeFrame/ButtonFrame/LabelShowJokes")->getText(), texts->GetText("str_SHOW_JOKES"));
  auto* box = dynamic_cast<CEGUI::ToggleButton*>(Widget("JokeInBottle/JokeFrame/ButtonFrame/CheckShowJokes"));
  ASSERT_NE(box, nullptr);
  EXPECT_TRUE(box->isSelected());
  // Rolled up to start with.
  EXPECT_EQ(Scroll(), (std::vector<float>{-65, -73, -9, -102, -34, -85, 61}));

  // The close button's text shrinks under the mouse and grows back.
  CEGUI::Window* close = Widget("JokeInBottle/JokeFrame/ButtonFrame/ButtonClose");
  CEGUI::Window* closeText = close->getChildAtIdx(0);
  CEGUI::WindowEventArgs hover(close);
  close->fireEvent(CEGUI::Window::EventMouseEntersArea, hover);
  EXPECT_EQ(closeText->getProperty("Font"), "Woodstamp-18");
  close->fireEvent(CEGUI::Window::EventMouseLeavesArea, hover);
  EXPECT_EQ(closeText->getProperty("Font"), "Woodstamp-20");
  ExpectNoCeguiFailure();
}

TEST_F(JokeFrameTest, UnrollsWithTheFrameTimeOnlyWhileVisible) {
  Vision::Timer.SetFixedTimeStep(0.35f);  // half the unrolling: t = 0.5
  FrameJokeInBottle* frame = Show();
  ASSERT_NE(frame, nullptr);

  // Hidden, the frame keeps its timer and its scroll.
  frame->GetRootWindow()->hide();
  for (int i = 0; i < 3; ++i) env.Frame();
  EXPECT_FLOAT_EQ(frame->GetAnimationTimer(), 0.7f);
  EXPECT_EQ(Scroll()[6], 61.0f);
  frame->GetRootWindow()->show();

  env.Frame();
  EXPECT_EQ(Scroll(), (std::vector<float>{-178.5f, -73, 109.5f, -102, -148.5f, -85, 293}));
  EXPECT_TRUE(frame->IsAnimating());
  EXPECT_EQ(JokeSounds(), 0);
  ExpectNoCeguiFailure();
}

TEST_F(JokeFrameTest, OneVeryLongFrameOpensTheScrollAndPlaysTheSoundOnce) {
  Vision::Timer.SetFixedTimeStep(30.0f);
  FrameJokeInBottle* frame = Show();
  ASSERT_NE(frame, nullptr);
  env.Frame();
  const std::vector<float> open{-292, -73, 228, -102, -263, -85, 525};
  EXPECT_EQ(Scroll(), open);
  EXPECT_FALSE(frame->IsAnimating());
  EXPECT_EQ(JokeSounds(), 1);
  env.Frame();
  EXPECT_EQ(Scroll(), open);
  EXPECT_EQ(JokeSounds(), 1);
}

TEST_F(JokeFrameTest, ClosedUntickedNoMoreBottleJokesThisRun) {
  for (bool tick : {true, false}) {
    SCOPED_TRACE(tick);
    ASSERT_NE(Show(), nullptr);
    auto* box = dynamic_cast<CEGUI::ToggleButton*>(Widget("JokeInBottle/JokeFrame/ButtonFrame/CheckShowJokes"));
    ASSERT_NE(box, nullptr);
    if (!tick) Click(box);
    EXPECT_EQ(box->isSelected(), tick);
    Click(Widget("JokeInBottle/JokeFrame/ButtonFrame/ButtonClose"));
    EXPECT_FALSE(gui->IsWindowVisible(WT_JOKE_IN_BOTTLE));
    EXPECT_TRUE(gui->IsWindowVisible(WT_FADE_OUT));
    env.Frame();
    EXPECT_EQ(gui->FindWindowA(WT_JOKE_IN_BOTTLE), nullptr);
    EXPECT_EQ(JokeManager::GetInstance()->BottleJokesEnabled(), tick);
    world.reset();
  }
}

}  // namespace
