// The sea head-up frame over a player with a ship at sea and the bundled game
// script: opening and closing through the manager, counts and bars, the special
// weapon panel and its browsing, the toolbox's use and cool-down, the glow at low
// hull, the re-activate request, and updates that write nothing when nothing changed.
#include "code/gui/GuiFrameTesting.h"

#include "Managers/ArtifactManager.h"
#include "Managers/GameSessionManager.h"
#include "Managers/LocalizationTable.h"
#include "components/CannonComponent.h"
#include "components/CannonObserverComponent.h"
#include "core/GameManager.h"
#include "core/ScriptBindings.h"
#include "entities/CollectableEntityTemplate.h"
#include "entities/Nation.h"
#include "entities/PlayerStats.h"
#include "entities/ShipEntity.h"
#include "entities/ShipStats.h"
#include "entities/SoldierStats.h"
#include "gui/CeguiCompat.h"
#include "gui/FrameBattleHud.h"
#include "gui/FrameInGameMessages.h"
#include "gui/FrameToolBar.h"
#include "support/NavalScenario.h"
#include "support/StringKeys.h"
#include "util/ComponentSetup.h"

#include <CEGUI/GlobalEventSet.h>
#include <CEGUI/Quaternion.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

const char* const kHud = "BattleHud/Window/";

class BattleHudTest : public GuiFrameTest {
 protected:
  void SetUp() override {
    GuiFrameTest::SetUp();
    // The ship configurations the new campaign's ships for sale are made from.
    Vision::File.AddDataDirectory(BRINEMARK_SOURCE_DIR "/data/models");
    // The bundled game script with the native tables its functions and the toolbox's script use.
    RegisterLuaBindings();
    VScriptResourceManager* scripts = Vision::GetScriptManager();
    IVScriptInstance* script = scripts->CreateScriptInstanceFromFile("scripts\\GameScript.lua");
    ASSERT_NE(script, nullptr);
    scripts->SetGameScript(script);
    naval_scenario::AddWarringNations("Neutral", "Enemy");

    session = GameSessionManager::GetInstance();
    player = session->GetPlayer();
    ASSERT_NE(player, nullptr);
    record = new ShipStats();
    record->SetShipNation(1);
    record->SetPlayerShip(true);
    record->SetShipIcon("Sloop");
    record->GetHull().SetMaximum(100);
    record->GetHull().SetCurrent(100);
    player->AddPlayerShip(record);
    ship = static_cast<ShipEntity*>(Vision::Game.CreateEntity("ShipEntity", VisVector_cl(50, 0, 0)));
    ship->SetNation(1);
    ship->SetStats(record);
    GameManager::GetInstance()->GetNation(1)->AddShip(ship);
    ASSERT_EQ(GameManager::GetInstance()->GetPlayerEntity(), ship);
    observer = ComponentSetup::AddNew<CannonObserverComponent>(ship);
    ASSERT_NE(observer, nullptr);
    observer->SetCannonCount(3, CANNON_GROUP_LEFT);
    observer->SetCannonCount(4, CANNON_GROUP_RIGHT);
  }
  void TearDown() override {
    Vision::Game.RemoveAllEntities();
    Vision::Game.FreeRemovedEntities();
    naval_scenario::CleanBattleManagers();
    Vision::GetScriptManager()->SetGameScript(nullptr);
    GuiFrameTest::TearDown();
  }

  FrameBattleHud* Open() {
    gui->ShowFrame(WT_BATTLE_HUD);
    auto* hud = dynamic_cast<FrameBattleHud*>(gui->FindWindowA(WT_BATTLE_HUD));
    EXPECT_NE(hud, nullptr);
    EXPECT_EQ(gui->GetCurrentFrame(), hud);
    return hud;
  }
  CEGUI::Window* Widget(FrameBattleHud* hud, const std::string& path) {
    CEGUI::Window* window = hud->GetComponent(CeguiCompat::ToGui(kHud + path));
    EXPECT_NE(window, nullptr) << path;
    return window;
  }
  std::string Text(FrameBattleHud* hud, const std::string& path) {
    CEGUI::Window* window = Widget(hud, path);
    return window ? CeguiCompat::ToUtf8(window->getText()) : "(none)";
  }
  float Height(FrameBattleHud* hud, const std::string& path) {
    CEGUI::Window* window = Widget(hud, path);
    return window ? window->getHeight().d_scale : -1.0f;
  }
  static std::string Image(CEGUI::Window* window) {
    std::string value;
    CeguiCompat::GetProperty(window, "Image", value);
    return value;
  }
  static std::string Localized(const char* key, const char* name) {
    return CeguiCompat::ToUtf8(LocalizationTable::GetInstance()->GetText(key, name));
  }
  void SetItems(const char* key, const char* script, int count) {
    session->RemoveCollectableByName(key);
    if (count < 1) return;
    auto* item = new CollectableEntityTemplate();
    item->m_sKey = key;
    item->m_sCollectableScriptFile = script;
    item->m_iCount = count;
    session->AddCollectable(item);
  }
  int Count(const char* key) const { return session->GetPlayerCollectableCountByName(key); }

  GameSessionManager* session = nullptr;
  PlayerStats* player = nullptr;
  ShipStats* record = nullptr;
  ShipEntity* ship = nullptr;
  CannonObserverComponent* observer = nullptr;
};

TEST_F(BattleHudTest, OpensWithEveryWidgetTheScriptsValuesAndTheToolBarAndClosesThroughTheManager) {
  const int callbacks = Vision::Callbacks.OnReactivateRequest.GetCallbackCount();
  FrameBattleHud* hud = Open();
  ASSERT_NE(hud, nullptr);
  EXPECT_EQ(gui->GetWindow(WT_BATTLE_HUD), hud);
  EXPECT_TRUE(gui->IsWindowVisible(WT_BATTLE_HUD));
  for (const char* path :
       {"Information/Money/Text", "Player/Hero/Tools/RumButton/Amount/Text", "Player/Hero/Tools/ToolboxButton/Amount/Text",
        "Player/Ship/Cannons/Counts/Left", "Player/Ship/Cannons/Counts/Right", "Player/Hero/Tools/ToolboxButton/Glow",
        "Player/Hero/Button", "Player/Ship/Button", "Player/Weapon/Button", "Player/Hero/Hitpoints/Bar0",
        "Player/Hero/Hitpoints/Bar1", "Player/Ship/Bars/Left/Bar", "Player/Ship/Bars/Right/Bar", "Player/Weapon/Load/Bar",
        "Player/Hero/Tools/RumButton/CoolDown", "Player/Hero/Tools/ToolboxButton/CoolDown", "Player/Weapon", "BackGround",
        "Player/Weapon/Browse/ButtonPrev", "Player/Weapon/Browse/ButtonNext"})
    Widget(hud, path);
  // Rum is not for the sea.
  EXPECT_TRUE(Widget(hud, "Player/Hero/Tools/RumButton")->isDisabled());
  EXPECT_EQ(Widget(hud, "Player/Weapon/Browse/ButtonNext")->getID(), 1u);

  // The game script's waits and the names of every weapon the ship yard sells.
  EXPECT_FLOAT_EQ(hud->GetRumCooldownLength(), 60.0f);
  EXPECT_FLOAT_EQ(hud->GetToolboxCooldownLength(), 60.0f);
  const auto& names = hud->GetSpecialWeaponNames();
  EXPECT_EQ(names.size(), 8u);
  ASSERT_TRUE(names.count(PROJECTILE_MINE));
  EXPECT_EQ(names.at(PROJECTILE_MINE), "Sea Mines");
  EXPECT_FALSE(names.count(0)) << "every weapon has its projectile number";
  ASSERT_NE(gui->GetToolbar(), nullptr);
  EXPECT_TRUE(gui->GetToolbar()->GetRootWindow()->isVisible());
  EXPECT_EQ(Vision::Callbacks.OnReactivateRequest.GetCallbackCount(), callbacks + 1);

  gui->CloseWindow(WT_BATTLE_HUD, true);
  EXPECT_EQ(gui->FindWindowA(WT_BATTLE_HUD), nullptr);
  EXPECT_EQ(Vision::Callbacks.OnReactivateRequest.GetCallbackCount(), callbacks);
  // And back again.
  ASSERT_NE(Open(), nullptr);
  ExpectNoCeguiFailure();
}

TEST_F(BattleHudTest, MoneyToolCountsAndBarsFollowTheGameState) {
  FrameBattleHud* hud = Open();
  ASSERT_NE(hud, nullptr);
  player->AddMoney(1234 - player->GetMoney());
  SetItems("RumPotion", "scripts\\Collectables\\RumPotion.lua", 2);
  SetItems("Toolbox", "scripts\\Collectables\\Toolbox.lua", 3);
  SoldierStats* hero = player->GetSoldierStats();
  ASSERT_NE(hero, nullptr);
  hero->m_Hitpoints.SetMaximum(50);
  hero->m_Hitpoints.SetCurrent(25);
  SceneFrame();
  EXPECT_EQ(Text(hud, "Information/Money/Text"), "1234");
  EXPECT_EQ(Text(hud, "Player/Hero/Tools/RumButton/Amount/Text"), "2");
  EXPECT_EQ(Text(hud, "Player/Hero/Tools/ToolboxButton/Amount/Text"), "3");
  // Hit-point bars fill 80 % when full.
  EXPECT_FLOAT_EQ(Height(hud, "Player/Hero/Hitpoints/Bar1"), 0.8f);
  EXPECT_FLOAT_EQ(Height(hud, "Player/Hero/Hitpoints/Bar0"), 0.4f);
  EXPECT_EQ(Widget(hud, "Player/Hero/Hitpoints/Bar0")->getHeight().d_offset, 0.0f);

  // Hulls beyond their maximum, below 0 or not tracked never draw outside the bar.
  struct Case {
    int maximum, current;
    float fill;
  } cases[] = {{100, 30, 0.24f}, {100, 150, 0.8f}, {100, -5, 0.0f}, {0, 0, 0.0f}, {-1, 10000, 0.8f}};
  for (const Case& c : cases) {
    record->GetHull().SetMaximum(c.maximum);
    record->GetHull().SetCurrent(c.current);
    SceneFrame();
    EXPECT_FLOAT_EQ(Height(hud, "Player/Hero/Hitpoints/Bar1"), c.fill) << c.current << " of " << c.maximum;
  }

  // Broadsides: the loaded share of the cannons, twice over with double cannons.
  observer->CannonLoading(CANNON_GROUP_RIGHT);
  SceneFrame();
  EXPECT_EQ(Text(hud, "Player/Ship/Cannons/Counts/Left"), "3");
  EXPECT_EQ(Text(hud, "Player/Ship/Cannons/Counts/Right"), "3");
  EXPECT_FLOAT_EQ(Height(hud, "Player/Ship/Bars/Left/Bar"), 1.0f);
  EXPECT_FLOAT_EQ(Height(hud, "Player/Ship/Bars/Right/Bar"), 0.75f);
  ship->SetDoubleCannons(1);
  SceneFrame();
  EXPECT_EQ(Text(hud, "Player/Ship/Cannons/Counts/Left"), "6");
  EXPECT_EQ(Text(hud, "Player/Ship/Cannons/Counts/Right"), "6");
  // Without the observer the counts stay and the bars empty.
  ship->RemoveComponent(observer);
  observer->DisposeObject();
  SceneFrame();
  EXPECT_EQ(Text(hud, "Player/Ship/Cannons/Counts/Right"), "6");
  EXPECT_FLOAT_EQ(Height(hud, "Player/Ship/Bars/Left/Bar"), 0.0f);
  EXPECT_FLOAT_EQ(Height(hud, "Player/Ship/Bars/Right/Bar"), 0.0f);

  // Away from the sea the frame leaves everything as it is.
  GameManager::GetInstance()->SetLocation(1);
  player->AddMoney(1);
  SceneFrame();
  EXPECT_EQ(Text(hud, "Information/Money/Text"), "1234");
  ExpectNoCeguiFailure();
}

TEST_F(BattleHudTest, TheWeaponPanelShowsWithAWeaponAndBrowsingWrapsBothWays) {
  FrameBattleHud* hud = Open();
  ASSERT_NE(hud, nullptr);
  CEGUI::Window* panel = Widget(hud, "Player/Weapon");
  CEGUI::Window* browse = Widget(hud, "Player/Weapon/Browse");
  CEGUI::Window* button = Widget(hud, "Player/Weapon/Button");
  CEGUI::Window* background = Widget(hud, "BackGround");
  SceneFrame();
  EXPECT_FALSE(panel->isVisible());
  EXPECT_EQ(background->getHeight(), CEGUI::UDim(0.0f, 220.0f));

  record->AddSpecialWeapon(PROJECTILE_MINE);
  record->SetCurrentSpecialWeapon(PROJECTILE_MINE);
  SceneFrame();
  EXPECT_TRUE(panel->isVisible());
  EXPECT_EQ(background->getHeight(), CEGUI::UDim(0.0f, 313.0f));
  EXPECT_EQ(Image(button), "ShipIcons_01/Weapon4Normal");
  EXPECT_EQ(CeguiCompat::ToUtf8(button->getTooltipText()), Localized("str_TOOLTIP_SHIPYARD_SPECIAL_WEAPON", "Sea Mines"));
  EXPECT_FALSE(browse->isVisible()) << "one weapon has nothing to browse";

  record->AddSpecialWeapon(PROJECTILE_MORTAR);
  record->AddSpecialWeapon(PROJECTILE_HUMANCANNONBALL);
  SceneFrame();
  ASSERT_TRUE(browse->isVisible());
  CEGUI::Window* prev = Widget(hud, "Player/Weapon/Browse/ButtonPrev");
  CEGUI::Window* next = Widget(hud, "Player/Weapon/Browse/ButtonNext");
  Click(prev);
  EXPECT_EQ(record->GetCurrentSpecialWeapon(), PROJECTILE_HUMANCANNONBALL) << "back from the first is the last";
  EXPECT_EQ(record->GetCurrentSpecialIndex(), 2);
  EXPECT_EQ(Image(button), "ShipIcons_01/Weapon8Normal");
  EXPECT_EQ(CeguiCompat::ToUtf8(button->getTooltipText()),
            Localized("str_TOOLTIP_SHIPYARD_SPECIAL_WEAPON", "Human Cannon Ball"));
  Click(next);
  EXPECT_EQ(record->GetCurrentSpecialWeapon(), PROJECTILE_MINE) << "on from the last is the first";
  Click(next);
  EXPECT_EQ(record->GetCurrentSpecialWeapon(), PROJECTILE_MORTAR);
  EXPECT_EQ(record->GetCurrentSpecialIndex(), 1);

  // The dial turns back as the special cannon reloads: 180 degrees just fired, 0 loaded.
  auto* cannon = new CannonComponent();
  ship->SetSpecialCannon(cannon);
  cannon->SetReloadDelayMax(10.0f);
  cannon->SetReloadDelay(5.0f);
  SceneFrame();
  CEGUI::Window* dial = Widget(hud, "Player/Weapon/Load/Bar");
  EXPECT_EQ(dial->getRotation(), CEGUI::Quaternion::eulerAnglesDegrees(0.0f, 0.0f, 90.0f));
  cannon->SetReloadDelay(0.0f);
  cannon->SetReloadDelayMax(0.0f);
  SceneFrame();
  EXPECT_EQ(dial->getRotation(), CEGUI::Quaternion::eulerAnglesDegrees(0.0f, 0.0f, 0.0f));
  ship->SetSpecialCannon(nullptr);
  delete cannon;

  // Without a weapon again the panel goes and the background shrinks.
  record->SetCurrentSpecialWeapon(0);
  SceneFrame();
  EXPECT_FALSE(panel->isVisible());
  EXPECT_EQ(background->getHeight(), CEGUI::UDim(0.0f, 220.0f));
  ExpectNoCeguiFailure();
}

TEST_F(BattleHudTest, TheToolboxRepairsOnlyADamagedHullOncePerCoolDownAndIsDisabledWithoutOne) {
  FrameBattleHud* hud = Open();
  ASSERT_NE(hud, nullptr);
  SetItems("Toolbox", "scripts\\Collectables\\Toolbox.lua", 2);
  CEGUI::Window* toolbox = Widget(hud, "Player/Hero/Tools/ToolboxButton");
  CEGUI::Window* overlay = Widget(hud, "Player/Hero/Tools/ToolboxButton/CoolDown");
  SceneFrame();
  ASSERT_FALSE(toolbox->isDisabled());

  // A whole hull only gets the notice.
  Click(toolbox);
  EXPECT_EQ(Count("Toolbox"), 2);
  EXPECT_FALSE(overlay->isVisible());
  auto* messages = dynamic_cast<FrameInGameMessages*>(gui->FindWindowA(WT_INGAME_MESSAGES));
  ASSERT_NE(messages, nullptr);
  ASSERT_EQ(messages->GetUpperQueue().size(), 1u);
  EXPECT_EQ(messages->GetUpperQueue().front().text,
            FrameInGameMessages::kPrefix + LocalizationTable::GetInstance()->GetText("str_ITEM_TOOLBOX_UNUSABLE"));
  EXPECT_FLOAT_EQ(messages->GetUpperQueue().front().displayTime, 0.75f);

  // A damaged one uses a toolbox, whose script starts the wait the overlay shows.
  record->GetHull().SetCurrent(40);
  Click(toolbox);
  EXPECT_EQ(Count("Toolbox"), 1);
  EXPECT_TRUE(overlay->isVisible());
  SceneFrame();
  // The GUI updates before the scene: one more GUI frame shows the wait as it is now.
  env.Frame();
  const float left = ArtifactManager::GetInstance()->GetToolCooldown();
  EXPECT_GT(left, 59.0f);
  EXPECT_FLOAT_EQ(overlay->getHeight().d_scale, left / 60.0f);
  // A second click while it waits does nothing.
  Click(toolbox);
  EXPECT_EQ(Count("Toolbox"), 1);
  // The wait over, the overlay goes, full height for the next time.
  ArtifactManager::GetInstance()->ResetToolCooldown(0.0f);
  SceneFrame();
  EXPECT_FALSE(overlay->isVisible());
  EXPECT_FLOAT_EQ(overlay->getHeight().d_scale, 1.0f);

  // The last one used disables the button; one gained enables it again.
  Click(toolbox);
  EXPECT_EQ(Count("Toolbox"), 0);
  SceneFrame();
  EXPECT_TRUE(toolbox->isDisabled());
  EXPECT_EQ(Text(hud, "Player/Hero/Tools/ToolboxButton/Amount/Text"), "0");
  SetItems("Toolbox", "scripts\\Collectables\\Toolbox.lua", 1);
  SceneFrame();
  EXPECT_FALSE(toolbox->isDisabled());

  // Ashore the HUD's toolbox does nothing.
  ArtifactManager::GetInstance()->ResetToolCooldown(0.0f);
  SceneFrame();
  GameManager::GetInstance()->SetLocation(1);
  EXPECT_FALSE(hud->OnToolboxClicked(CEGUI::WindowEventArgs(toolbox)));
  EXPECT_EQ(Count("Toolbox"), 1);
  ExpectNoCeguiFailure();
}

TEST_F(BattleHudTest, TheToolboxGlowBlinksOnlyWhileTheHullIsLow) {
  FrameBattleHud* hud = Open();
  ASSERT_NE(hud, nullptr);
  SetItems("Toolbox", "scripts\\Collectables\\Toolbox.lua", 1);
  CEGUI::Window* glow = Widget(hud, "Player/Hero/Tools/ToolboxButton/Glow");
  GameManager* game = GameManager::GetInstance();
  game->SetPlayTheGame(true);
  SceneFrame();
  game->Update();
  ASSERT_FALSE(game->HasLowHitPoints());
  SceneFrame();
  EXPECT_FALSE(glow->isVisible());

  record->GetHull().SetCurrent(30);
  game->Update();
  ASSERT_TRUE(game->HasLowHitPoints());
  // 2 per second at 0.1 s a frame: up in five frames, down in about five, up again.
  std::vector<float> alphas;
  for (int i = 0; i < 13; ++i) {
    SceneFrame();
    alphas.push_back(glow->getAlpha());
  }
  EXPECT_TRUE(glow->isVisible());
  EXPECT_NEAR(alphas[0], 0.2f, 1e-4f);
  EXPECT_FLOAT_EQ(alphas[4], 1.0f);
  EXPECT_NEAR(alphas[5], 0.8f, 1e-4f);
  EXPECT_NEAR(alphas[9], 0.0f, 1e-4f);
  EXPECT_GT(alphas[12], alphas[11]);
  for (float alpha : alphas) EXPECT_TRUE(alpha >= 0.0f && alpha <= 1.0f) << alpha;

  record->GetHull().SetCurrent(100);
  game->Update();
  SceneFrame();
  EXPECT_FALSE(glow->isVisible());
  const float kept = glow->getAlpha();
  SceneFrame();
  EXPECT_EQ(glow->getAlpha(), kept) << "a hidden glow does not blink";
  game->SetPlayTheGame(false);
  ExpectNoCeguiFailure();
}

// Every change the frame makes to a widget under it, counted from CEGUI's events.
struct WidgetChanges {
  explicit WidgetChanges(CEGUI::Window* root) : root(root) {
    CEGUI::GlobalEventSet& events = CEGUI::GlobalEventSet::getSingleton();
    for (const char* name : {"Window/TextChanged", "Window/AlphaChanged", "Window/Shown", "Window/Hidden",
                             "Window/Enabled", "Window/Disabled", "Window/Activated"})
      connections.push_back(events.subscribeEvent(name, CEGUI::Event::Subscriber(&WidgetChanges::OnWindow, this)));
    for (const char* name : {"Element/Sized", "Element/Rotated"})
      connections.push_back(events.subscribeEvent(name, CEGUI::Event::Subscriber(&WidgetChanges::OnElement, this)));
  }
  ~WidgetChanges() {
    for (auto& connection : connections) connection->disconnect();
  }
  bool Mine(const CEGUI::Element* element) const { return element == root || (element && element->isAncestor(root)); }
  bool OnWindow(const CEGUI::EventArgs& args) {
    if (Mine(static_cast<const CEGUI::WindowEventArgs&>(args).window)) ++count;
    return false;
  }
  bool OnElement(const CEGUI::EventArgs& args) {
    if (Mine(static_cast<const CEGUI::ElementEventArgs&>(args).element)) ++count;
    return false;
  }
  CEGUI::Window* root;
  std::vector<CEGUI::Event::Connection> connections;
  int count = 0;
};

TEST_F(BattleHudTest, AnUpdateWithNothingChangedWritesNothing) {
  FrameBattleHud* hud = Open();
  ASSERT_NE(hud, nullptr);
  SetItems("Toolbox", "scripts\\Collectables\\Toolbox.lua", 2);
  record->AddSpecialWeapon(PROJECTILE_MINE);
  record->AddSpecialWeapon(PROJECTILE_MORTAR);
  record->SetCurrentSpecialWeapon(PROJECTILE_MINE);
  record->GetHull().SetCurrent(40);
  auto* cannon = new CannonComponent();
  ship->SetSpecialCannon(cannon);
  cannon->SetReloadDelayMax(10.0f);
  cannon->SetReloadDelay(4.0f);
  Click(Widget(hud, "Player/Hero/Tools/ToolboxButton"));
  ArtifactManager::GetInstance()->ResetToolCooldown(30.0f);
  // The GUI updates before the scene, so the second frame shows the wait as it stays.
  SceneFrame();
  env.Frame();
  ASSERT_TRUE(Widget(hud, "Player/Hero/Tools/ToolboxButton/CoolDown")->isVisible());

  // Tooltips change with the name shown, not with what the tooltip holds.
  CEGUI::Window* weapon = Widget(hud, "Player/Weapon/Button");
  CEGUI::Window* shipButton = Widget(hud, "Player/Ship/Button");
  weapon->setTooltipText("by hand");
  shipButton->setTooltipText("by hand");
  EXPECT_EQ(Image(shipButton), "ShipIcons_01/SloopNormal");

  // GUI frames without the scene update: the cool-down stands still.
  {
    WidgetChanges changes(hud->GetRootWindow());
    env.Frame();
    env.Frame();
    EXPECT_EQ(changes.count, 0);
    // The count does see a change.
    player->AddMoney(5);
    env.Frame();
    EXPECT_EQ(changes.count, 1);
  }
  EXPECT_EQ(CeguiCompat::ToUtf8(weapon->getTooltipText()), "by hand");
  EXPECT_EQ(CeguiCompat::ToUtf8(shipButton->getTooltipText()), "by hand");
  ship->SetSpecialCannon(nullptr);
  delete cannon;
  ExpectNoCeguiFailure();
}

TEST_F(BattleHudTest, AReactivateRequestActivatesTheLoadDialAtTheNextFrame) {
  FrameBattleHud* hud = Open();
  ASSERT_NE(hud, nullptr);
  record->AddSpecialWeapon(PROJECTILE_MINE);
  record->SetCurrentSpecialWeapon(PROJECTILE_MINE);
  SceneFrame();
  CEGUI::Window* dial = Widget(hud, "Player/Weapon/Load/Bar");
  Vision::Callbacks.OnFrameUpdatePreRender.TriggerCallbacks();
  EXPECT_FALSE(dial->isActive());
  Vision::Callbacks.OnReactivateRequest.TriggerCallbacks();
  EXPECT_TRUE(hud->IsReactivateRequested());
  EXPECT_FALSE(dial->isActive());
  Vision::Callbacks.OnFrameUpdatePreRender.TriggerCallbacks();
  EXPECT_FALSE(hud->IsReactivateRequested());
  EXPECT_TRUE(dial->isActive());
}

// The pictures and texts the HUD asks for exist for every weapon the ship yard sells
// and for every ship the game makes.
TEST_F(BattleHudTest, EverySoldWeaponAndEveryShipHasItsPicturesAndTexts) {
  const std::set<std::string> keys = StringKeys();
  CEGUI::ImageManager& images = CEGUI::ImageManager::getSingleton();
  IVScriptInstance* script = Vision::GetScriptManager()->GetGameScript();
  int count = 0;
  ASSERT_TRUE(script->ExecuteFunctionArg("GetAllSWCount", "*>i", &count));
  EXPECT_GE(count, 3);
  std::set<int> numbers;
  for (int i = 1; i <= count; ++i) {
    VString s[5];
    ASSERT_TRUE(script->ExecuteFunctionArg("GetAllSW", "i>sssss", i, &s[0], &s[1], &s[2], &s[3], &s[4]));
    int number = 0;
    ASSERT_TRUE(script->ExecuteFunctionArg("GetAllSWMagicIndex", "i>i", i, &number));
    EXPECT_TRUE(number >= PROJECTILE_HARPOON && number <= PROJECTILE_STINKBOMB) << i;
    EXPECT_TRUE(numbers.insert(number).second) << "sold twice: " << number;
    EXPECT_FALSE(s[1].IsEmpty()) << i;
    EXPECT_TRUE(keys.count(s[2].AsChar())) << s[2].AsChar();
    for (const VString* image : {&s[0], &s[3]})
      EXPECT_TRUE(images.isDefined(CeguiCompat::ToGui(CeguiCompat::ConvertImageText(image->AsChar())))) << image->AsChar();
    const std::string weapon = "ShipIcons_01/Weapon" + std::to_string(number);
    EXPECT_TRUE(images.isDefined(CeguiCompat::ToGui(weapon + "Normal"))) << weapon;
    EXPECT_TRUE(images.isDefined(CeguiCompat::ToGui(weapon + "Icon"))) << weapon;
  }
  EXPECT_TRUE(keys.count("str_TOOLTIP_SHIPYARD_SPECIAL_WEAPON"));
  EXPECT_TRUE(keys.count("str_ITEM_TOOLBOX_UNUSABLE"));

  // The ship scripts' icon names: the picture "<icon>Normal" and the name "str_<ICON>".
  const std::regex iconCall("SetShipIcon\\(\"([^\"]+)\"\\)");
  int ships = 0;
  for (const auto& entry : std::filesystem::directory_iterator(BRINEMARK_SOURCE_DIR "/data/scripts/Ships")) {
    if (entry.path().extension() != ".lua") continue;
    std::ifstream in(entry.path());
    std::stringstream text;
    text << in.rdbuf();
    const std::string content = text.str();
    std::smatch match;
    if (!std::regex_search(content, match, iconCall)) continue;
    ++ships;
    std::string name = "str_" + match[1].str();
    for (char& c : name) c = (char)std::toupper((unsigned char)c);
    name.replace(0, 4, "str_");
    EXPECT_TRUE(images.isDefined(CeguiCompat::ToGui("ShipIcons_01/" + match[1].str() + "Normal"))) << entry.path();
    EXPECT_TRUE(keys.count(name)) << name;
  }
  EXPECT_GE(ships, 2);
}

}  // namespace
