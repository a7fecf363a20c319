-- The tutorial pages, read once when the game starts. Each page is
-- { id, title key, text key }: the game asks for a page by its id when the player
-- first meets what it explains; the text key with "_VO" names its spoken line in
-- the voices group of the localisation (a page without one is not spoken).

local pages = {
  -- Entering a colony.
  { "str_TUTORIAL_COLONY_PART1", "str_TUTORIAL_COLONY_TITLE", "str_TUTORIAL_COLONY_PART1" },
  { "str_TUTORIAL_COLONY_PART2", "str_TUTORIAL_COLONY_TITLE", "str_TUTORIAL_COLONY_PART2" },
  { "str_TUTORIAL_COLONY_PART3", "str_TUTORIAL_COLONY_TITLE", "str_TUTORIAL_COLONY_PART3" },
  { "str_TUTORIAL_COLONY_PART4", "str_TUTORIAL_COLONY_TITLE", "str_TUTORIAL_COLONY_PART4" },
  { "str_TUTORIAL_COLONY_PART5", "str_TUTORIAL_COLONY_TITLE", "str_TUTORIAL_COLONY_PART5" },
  -- A hero joins.
  { "str_TUTORIAL_HERO_PART1", "str_TUTORIAL_HERO_TITLE", "str_TUTORIAL_HERO_PART1" },
  { "str_TUTORIAL_HERO_PART2", "str_TUTORIAL_HERO_TITLE", "str_TUTORIAL_HERO_PART2" },
  -- A free building plot in the stronghold.
  { "str_TUTORIAL_UNIT_BUILDING_PART1", "str_TUTORIAL_UNIT_BUILDING_TITLE", "str_TUTORIAL_UNIT_BUILDING_PART1" },
  -- The player's stronghold, the first time the land HUD shows in it.
  { "str_TUTORIAL_STRONGHOLD_PART1", "str_TUTORIAL_STRONGHOLD_TITLE", "str_TUTORIAL_STRONGHOLD_PART1" },
  { "str_TUTORIAL_STRONGHOLD_PART2", "str_TUTORIAL_STRONGHOLD_TITLE", "str_TUTORIAL_STRONGHOLD_PART2" },
  -- The tool bar's action menu, on its first click.
  { "str_TUTORIAL_ACTION_MENU_PART1", "str_TUTORIAL_ACTION_MENU_TITLE", "str_TUTORIAL_ACTION_MENU_PART1" },
  { "str_TUTORIAL_ACTION_MENU_PART2", "str_TUTORIAL_ACTION_MENU_TITLE", "str_TUTORIAL_ACTION_MENU_PART2" },
  { "str_TUTORIAL_ACTION_MENU_PART3", "str_TUTORIAL_ACTION_MENU_TITLE", "str_TUTORIAL_ACTION_MENU_PART3" },
  { "str_TUTORIAL_ACTION_MENU_PART4", "str_TUTORIAL_ACTION_MENU_TITLE", "str_TUTORIAL_ACTION_MENU_PART4" },
  { "str_TUTORIAL_ACTION_MENU_PART5", "str_TUTORIAL_ACTION_MENU_TITLE", "str_TUTORIAL_ACTION_MENU_PART5" },
}

function GetTutorialAmount()
  return #pages
end

function GetTutorialAt(i)
  local page = pages[i]
  if not page then
    return "", "", ""
  end
  return page[1], page[2], page[3]
end
