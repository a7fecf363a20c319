// The bundled tutorial pages: every page the game asks for exists, its title and
// text are in the string file, and each spoken line names a sound file that loads.
#include "Managers/LocalizationTable.h"
#include "Managers/TutorialManager.h"

#include "engine/Vision.h"
#include "engine/sound/VSoundManager.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(TutorialData, EveryPageAskedForHasItsTextsAndItsVoiceWhereOneIsNamed) {
  Vision::File.RemoveAllDataDirectories();
  ASSERT_TRUE(Vision::File.AddDataDirectory(BRINEMARK_SOURCE_DIR "/data"));
  VSoundManager::GlobalManager().SetInitialized(true);
  TutorialManager* tutorials = TutorialManager::GetInstance();
  LocalizationTable* texts = LocalizationTable::GetInstance();
  const LocalizationTable::TextMap& strings = texts->GetTexts();
  const LocalizationTable::NarrowMap& voices = texts->GetDefines(LocalizationTable::DEFINES_VOICES);

  // Entering a colony, and a hero joining.
  const char* asked[] = {"str_TUTORIAL_COLONY_PART1", "str_TUTORIAL_COLONY_PART2", "str_TUTORIAL_COLONY_PART3",
                         "str_TUTORIAL_COLONY_PART4", "str_TUTORIAL_COLONY_PART5", "str_TUTORIAL_HERO_PART1",
                         "str_TUTORIAL_HERO_PART2"};
  int voiced = 0;
  for (const char* id : asked) {
    SCOPED_TRACE(id);
    const int index = tutorials->GetFullIndex(id);
    ASSERT_GT(index, 0) << "no page";
    const Tutorial& page = tutorials->GetTutorial(id);
    EXPECT_TRUE(strings.count(page.text.AsChar())) << page.text.AsChar();
    EXPECT_TRUE(strings.count(page.voice.AsChar())) << page.voice.AsChar();
    const auto voice = voices.find(std::string(page.voice.AsChar()) + "_VO");
    if (voice == voices.end()) continue;
    ++voiced;
    // Held, so the resource is let go with the test.
    VSmartPtr<VSoundResource> sound = VSoundManager::GlobalManager().LoadSoundResource(voice->second.c_str(), 0);
    EXPECT_NE(sound, nullptr) << voice->second;
  }
  EXPECT_GE(voiced, 1);

  TutorialManager::CleanInstance();
  LocalizationTable::CleanInstance();
  VSoundManager::GlobalManager().SetInitialized(false);
  Vision::File.RemoveAllDataDirectories();
}

}  // namespace
