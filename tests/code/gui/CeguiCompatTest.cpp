// The CEGUI 0.8 adapter: text conversions, guarded properties, widget look-up by
// full name, layout copies and the edit-box validator.
#include "support/GuiTestEnvironment.h"

#include "Managers/LocalizationTable.h"
#include "gui/CeguiCompat.h"

#include <CEGUI/CEGUI.h>
#include <gtest/gtest.h>

namespace {

TEST(CeguiCompatConversion, ImageTexts) {
  const std::pair<const char*, const char*> cases[] = {
      {"set:GUI_Window_01 image:PowerBallBlue", "GUI_Window_01/PowerBallBlue"},
      {"[image='set:UnitFaces_01 image:EmptySmallMini']", "[image='UnitFaces_01/EmptySmallMini']"},
      // The missing closing quote of some markup is kept as it is.
      {"[image='set:UnitFaces_01 image:EmptySmallMini]", "[image='UnitFaces_01/EmptySmallMini]"},
      {"[colour='FFfac311']a [image='set:A image:B'] b [image='set:C image:D']",
       "[colour='FFfac311']a [image='A/B'] b [image='C/D']"},
      {"set:LoadingScreenBackground   image:full_image", "LoadingScreenBackground/full_image"},
      {"Cursors/MouseCursorDefault", "Cursors/MouseCursorDefault"},
      {"", ""},
      {"set: image:", "set: image:"},
  };
  for (const auto& c : cases) EXPECT_EQ(CeguiCompat::ConvertImageText(c.first), c.second) << c.first;
}

TEST(CeguiCompatConversion, PropertyNames) {
  const std::pair<const char*, const char*> cases[] = {
      {"Tooltip", "TooltipText"},      {"UnifiedAreaRect", "Area"},     {"UnifiedPosition", "Position"},
      {"UnifiedSize", "Size"},
      {"UnifiedWidth", "Width"},       {"UnifiedHeight", "Height"},     {"UnifiedMinSize", "MinSize"},
      {"UnifiedMaxSize", "MaxSize"},   {"Text", "Text"},               {"TooltipText", "TooltipText"},
      {"tooltip", "tooltip"},
  };
  for (const auto& c : cases) EXPECT_EQ(CeguiCompat::ConvertPropertyName(c.first), c.second) << c.first;
}

class CeguiCompatTest : public ::testing::Test {
 protected:
  void SetUp() override {
    env.Start();
    gui = env.StartGui();
  }
  void TearDown() override { env.Stop(); }
  GuiTestEnvironment env;
  GUIManager* gui = nullptr;
};

TEST_F(CeguiCompatTest, PropertiesAreSetOnlyWhenPresent) {
  CEGUI::Window* image = CEGUI::WindowManager::getSingleton().createWindow("CorallineLook/StaticImage", "Image");
  gui->GetBaseFrame()->addChild(image);
  EXPECT_TRUE(CeguiCompat::SetProperty(image, "Image", "set:Cursors image:MouseCursorFinger"));
  std::string value;
  EXPECT_TRUE(CeguiCompat::GetProperty(image, "Image", value));
  EXPECT_EQ(value, "Cursors/MouseCursorFinger");
  EXPECT_TRUE(CeguiCompat::SetProperty(image, "UnifiedAreaRect", "{{0,10},{0,20},{0,110},{0,70}}"));
  EXPECT_EQ(image->getPixelSize(), CEGUI::Sizef(100, 50));
  // One axis of the position: the other stays.
  EXPECT_TRUE(CeguiCompat::SetProperty(image, "UnifiedYPosition", "{0.5,-73}"));
  EXPECT_EQ(image->getPosition(), CEGUI::UVector2(CEGUI::UDim(0, 10), CEGUI::UDim(0.5f, -73)));
  EXPECT_TRUE(CeguiCompat::SetProperty(image, "UnifiedXPosition", "{0.25,4}"));
  EXPECT_TRUE(CeguiCompat::GetProperty(image, "UnifiedXPosition", value));
  EXPECT_EQ(value, "{0.25,4}");
  EXPECT_TRUE(CeguiCompat::GetProperty(image, "UnifiedYPosition", value));
  EXPECT_EQ(value, "{0.5,-73}");
  EXPECT_TRUE(CeguiCompat::SetProperty(image, "Tooltip", "str_HELLO"));
  EXPECT_EQ(std::string(image->getTooltipText().c_str()), "str_HELLO");
  // Unknown names and windows fail quietly instead of throwing.
  EXPECT_FALSE(CeguiCompat::SetProperty(image, "NoSuchProperty", "1"));
  EXPECT_FALSE(CeguiCompat::GetProperty(image, "NoSuchProperty", value));
  EXPECT_FALSE(CeguiCompat::SetProperty(nullptr, "Text", "x"));
}

TEST_F(CeguiCompatTest, WidgetsAreFoundByTheirFullNames) {
  CEGUI::Window* root = gui->LoadLayout(WT_LOADING_SCREEN, "LoadingScreen.layout");
  ASSERT_NE(root, nullptr);
  CEGUI::Window* background = root->getChild("Background");
  EXPECT_EQ(CeguiCompat::FindWidget(root, "LoadingScreen"), root);
  EXPECT_EQ(CeguiCompat::FindWidget(root, "LoadingScreen/Background"), background);
  EXPECT_EQ(CeguiCompat::FindWidget(root, "Background"), background);
  EXPECT_EQ(CeguiCompat::FindWidget(root, "LoadingScreen/Missing"), nullptr);
  EXPECT_EQ(CeguiCompat::FindWidget(root, "Other/Background"), nullptr);
  EXPECT_EQ(CeguiCompat::FindWidget(nullptr, "LoadingScreen"), nullptr);
  CeguiCompat::DestroyWindow(root);
}

TEST_F(CeguiCompatTest, LayoutCopiesCarryTheFileNamesOrTheCallersPrefix) {
  EXPECT_EQ(gui->GetLayout(WT_LOADING_SCREEN, nullptr), nullptr);
  EXPECT_EQ(gui->LoadLayout(WT_LOADING_SCREEN, "NoSuchLayout.layout"), nullptr);

  CEGUI::Window* first = gui->LoadLayout(WT_LOADING_SCREEN, "LoadingScreen.layout");
  CEGUI::Window* second = gui->GetLayout(WT_LOADING_SCREEN, "7");
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  EXPECT_NE(first, second);
  EXPECT_EQ(std::string(first->getName().c_str()), "LoadingScreen");
  EXPECT_EQ(std::string(second->getName().c_str()), "7LoadingScreen");
  EXPECT_TRUE(second->isChild("Background"));
  // A copy that is destroyed leaves the stored layout intact for the next copy.
  CeguiCompat::DestroyWindow(first);
  CEGUI::WindowManager::getSingleton().cleanDeadPool();
  CEGUI::Window* third = gui->LoadLayout(WT_LOADING_SCREEN, "LoadingScreen.layout");
  ASSERT_NE(third, nullptr);
  EXPECT_EQ(std::string(third->getName().c_str()), "LoadingScreen");
  EXPECT_TRUE(third->isChild("Background"));
  CeguiCompat::DestroyWindow(second);
  CeguiCompat::DestroyWindow(third);
}

TEST_F(CeguiCompatTest, LayoutTextsAreLocalisationKeys) {
  // An unknown key stands for itself, trimmed.
  EXPECT_EQ(std::string(LocalizationTable::GetInstance()->GetText("  str_NO_SUCH_TEXT \r\n").c_str()),
            "str_NO_SUCH_TEXT");
  LocalizationTable::CleanInstance();
}

TEST_F(CeguiCompatTest, EditBoxesGetAValidator) {
  CEGUI::Editbox* edit =
      static_cast<CEGUI::Editbox*>(CEGUI::WindowManager::getSingleton().createWindow("CEGUI/Editbox", "Edit"));
  gui->GetBaseFrame()->addChild(edit);
  // Without a validator CEGUI refuses a validation string.
  EXPECT_TRUE(CeguiCompat::SetProperty(edit, "ValidationString", "[0-9]*"));
  edit->setText("123");
  EXPECT_EQ(edit->getTextMatchState(), CEGUI::RegexMatcher::MS_VALID);
  CEGUI::WindowManager::getSingleton().destroyWindow(edit);
  CEGUI::WindowManager::getSingleton().cleanDeadPool();
}

}  // namespace
