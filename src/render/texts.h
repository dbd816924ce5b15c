// Every text that the game writes in its window, in one place.
//
// The texts are laid out for the hard wrap of text drawing: a line of the info line or of a full-window
// text holds 97 characters (renderText starts a new line at the right edge, wherever it is, even inside a
// word). Where a line break falls between two words, the words seem to run together here ("toend",
// "theactions", "pressEnter", "2units"): on the screen they stand at the end of one line and the start of
// the next. They are right as they are; "correcting" them would shift every line after them.
#pragma once

// The main menu: the title, then the map's name in two places.
constexpr const char* kMenuTitle =
    "\n\n\n"
    "+-----------------------------------------------+\n"
    "|                                               |\n"
    "|     ___     ___    ____    ____       _       |\n"
    "|    / _ \\   / _ \\  |  _ \\  |  _ \\     / \\      |\n"
    "|   | | | | | | | | | |_) | | | | |   / _ \\     |\n"
    "|   | |_| | | |_| | |  _ /  | |_| |  / ___ \\    |\n"
    "|    \\__\\_\\  \\___/  |_| \\_\\ |____/  /_/   \\_\\   |\n"
    "|                                               |\n"
    "|                  Ver 20160116                 |\n"
    "+-----------------------------------------------+"
    "\n\n\n\nQorda is a minimalist turn-based strategy/tactic game on hexagon grid map.\n\n\n"
    "   -- Main menu --\n\n 1. Play ";
constexpr const char* kMenuVersusComputer = " human vs AI\n 2. Play ";
constexpr const char* kMenuRest = " human vs human\n 3. Load map\n 4. Edit map\n 5. Help\n 6. Exit\n";

// The map name prompts.
constexpr const char* kLoadPrompt = "\nEnter map file name without the \".txt\" extension (like \"map01\"): ";
constexpr const char* kSavePromptStart = "Enter save file name without the \".txt\" extension (like \"";
constexpr const char* kSavePromptEnd = "\"): ";

// "Player", a blank cell and the player's digit start every message about a player.
constexpr const char* kPlayerPrefix = "Player";

// A match: the prompts after the player prefix, and the help match's text.
constexpr const char* kCursorModePrompt =
    ": Move the cursor and press Enter or Space to select a unit. Press Escape or Backspace toend your turn.";
constexpr const char* kEndOfTurnQuestion =
    ": Do you want to end your turn? (Enter or Space to end turn, Escape or Backspace to\ncancel, \"m\" to "
    "return "
    "to main menu)";
constexpr const char* kMatchHelpText =
    "\n   -- Help --\n\nHere is a map for you to experiment with the game controls. The text below the map "
    "summarizes theactions you can do.\n\nTo quit this help, press Escape or Backspace then M.\n\nThe \"+\" "
    "sign "
    "in the hexagon above the archer in the most left column is the cursor. To move the\ncursor, use the "
    "following keys:\n\n up-left    : Insert, F or 4\n up         : Home, G or 5\n up-right   : Page Up, H "
    "or "
    "6\n down-left  : Delete, C or 1\n down       : End, V or 2\n down-right : Page Down, B or 3\n\nTo "
    "select a "
    "unit, move the cursor to that unit and press Enter or Space. The cursor will turn\ninto a selection "
    "hexagon "
    "around the unit and the unit will move along with the cursor until you\npress Escape or Backspace. Each "
    "move cost 2 action points to an Archer or Shield unit, 1 action\npoint to a Cavalry unit. A unit has "
    "its "
    "action points displayed on the left and its heath points displayed on the right. Player 1 controls blue "
    "units. Player 2 controls red units. Hexagons with rocks are unbreakable obstacles.\n\nTo attack an "
    "enemy "
    "unit, move a Cavalry or Shield unit to a hexagon adjacent to it and press the direction key of that "
    "enemy "
    "unit. To attack with an Archer unit, select the Archer unit and pressEnter or Space to display the "
    "targeting ring. Hexagons highlighted in red are potential targets. The \"+\" cursor is the current "
    "target. "
    "You move the current target using direction keys and attackit with Enter or Space. Press Escape or "
    "Backspace when done. Each attack costs 3 action points\nand causes 1 damage. At 0 health point, a unit "
    "disappears emitting a beep.\n\nTo end your turn, press Escape or Backspace and validate with Enter or "
    "Space. At the end of each turn, all your units regain 5 action points. The maximum action point of a "
    "fully "
    "rested unit is\n10.";

// Unit control and the targeting ring, after the player prefix.
constexpr const char* kMovePromptStart = ": Move the unit. ";
constexpr const char* kMovePromptArcher = "Press Enter or Space to perform a range attack.";
constexpr const char* kMovePromptOthers = "Attempts to move on enemy position will attack it.";
constexpr const char* kMovePromptEnd = " Press Escape or\nBackspace when done.";
constexpr const char* kTargetingPrompt =
    ": Attack enemy units with Enter or Space. Press Escape or Backspace when done.";

// The rules' notices; the victory notice follows the player prefix and a blank cell.
constexpr const char* kTooFewActionPointsToMoveNotice = "Not enough action points to move.";
constexpr const char* kTooFewActionPointsToAttackNotice = "Not enough action points to attack.";
constexpr const char* kVictoryNotice = "won the battle. Press any key to return to main menu.";

// The map editor.
constexpr const char* kEditorHelpText =
    "\n"
    "\n"
    "   -- Edit map help --\n"
    "\n"
    "To edit or create a map, you give the coordinates of a hexagon and the characteristics of the\n"
    "unit to put there. An entry consists of the following 6 fields separated by comas \"Row(0-9),\n"
    "Column(0-16),Type(a,c,s,x,r=remove),Player(1-2),ActionPoint(0-99),HealthPoint(1-99)\". Press Enterto "
    "validate an entry.\n"
    "For example \"2,3,c,1,7,5\" puts on hexagon (row=2,column=3) a Cavalry of player 1 with 7 action\n"
    "points and 5 health points. Any unit previously on hexagon (2,3) gets erased in the process.\n"
    "\n"
    "The unit types are\n"
    " a = Archer,  Move Cost = 2 ActionPoint/Hex, Attack range = 2\n"
    " c = Cavalry, Move Cost = 1 ActionPoint/Hex, Attack range = 1\n"
    " s = Shield,  Move Cost = 2 ActionPoint/Hex, Attack range = 1\n"
    " x = Obstacle\n"
    " r = remove the unit and clear the specified hexagon\n"
    "Player, ActionPoint and HealthPoint are not relevant for obstacle (Type = x) and remove (Type = r) so "
    "we can omit these 3 last fields in entry of type x and r. For example \"5,4,x\" puts an\n"
    "obstacle at (5,4).\n"
    "\n"
    "Advanced:\n"
    "  \"5,4,x,150\": at (5,4) put an obstacle using tile 150. Obstacle tiles range from 128 to 255.\n"
    "  \"5,4,r,1\": at (5,4) clear the hexagon and put walkable tile 1. Walkable tiles range from 0 to       "
    "        127.\n"
    "\n"
    "To build balanced maps, it is recommended to give all player 1 units 7 action points and player 2units "
    "10 action points. This compensates for player 1 first move advantage.\n"
    "\n"
    "Recommended unit health points:\n"
    " Archer  2 HP\n"
    " Cavalry 5 HP\n"
    " Shield  8 HP\n"
    "\n"
    "To stop editing the map, enter an invalid entry. A single character followed by Enter does the\n"
    "job.\n"
    "\n"
    "Press any key to continue";
constexpr const char* kKeepOrClearQuestion = "Do you want to edit the current map? (y/n)";
constexpr const char* kEntryPrompt =
    "Enter a unit to add to the map \"Row(0-9),Column(0-16),Type(a,c,s,x,r=remove),Player(1-2),\n"
    "ActionPoint(0-99),HealthPoint(1-99)\": ";
constexpr const char* kInvalidEntryQuestion = "Invalid input. Are you done adding units? (y/n)";
constexpr const char* kSaveQuestion = "Do you want to save the map? (y/n)";
