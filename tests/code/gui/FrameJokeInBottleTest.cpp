// The joke frame as the joke manager fills it: the read count first, then all jokes.
#include "support/ScopedEnv.h"

#include "Managers/JokeManager.h"
#include "Managers/LocalizationTable.h"
#include "Managers/SaveGameManager.h"
#include "gui/FrameJokeInBottle.h"
#include "util/MathTools.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

namespace {

namespace fs = std::filesystem;

TEST(FrameJokeInBottle, CountsTheReadJokesAndRestartsTheUnrolling) {
  const fs::path documents = fs::temp_directory_path() / ("brinemark_jokeframe_" + std::to_string(getpid()));
  fs::remove_all(documents);
  ScopedEnv docs("ENGINE_DOCUMENTS_DIR", documents.c_str());
  std::istringstream jokes("a\nb\nc\nd\ne\nf\ng\nh\ni\nj\n");
  LocalizationTable::GetInstance()->ReadJokes(jokes);
  JokeManager::GetInstance()->Initialize();
  MathTools::SetUseFixedRandom(true);
  CEGUI::String text;
  for (int i = 0; i < 3; ++i) JokeManager::GetInstance()->GetRandomJoke(text);
  MathTools::SetUseFixedRandom(false);

  FrameJokeInBottle frame;
  frame.InitWindow(text, true);
  EXPECT_EQ(frame.GetCounterText(), "3/10");
  EXPECT_EQ(frame.GetJokeText(), "c");
  EXPECT_TRUE(frame.IsAnimating());
  EXPECT_FLOAT_EQ(frame.GetAnimationTimer(), 0.7f);

  JokeManager::CleanInstance();
  LocalizationTable::CleanInstance();
  SaveGameManagerProto::CleanInstance();
  fs::remove_all(documents);
}

}  // namespace
