#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tessel {

// Where a game keeps what it writes for its player (saves, later settings):
// $XDG_DATA_HOME/tessel/<id>/, or ~/.local/share/tessel/<id>/ when that is
// unset. `--save-dir=DIR` replaces the whole folder, whatever the id.

// 1 to 64 characters of A-Z a-z 0-9 . _ -
bool ValidGameId(std::string_view id);
// The game folder's name cleaned to those characters ("game" when nothing is left).
std::string GameIdFromFolder(std::string_view folder);

// Sets the id; false (nothing changed) when it is not valid.
bool SetGameId(std::string_view id);
// The id set, else the one made from the game folder.
std::string GameId();
// Whether a script named the id (the first save without one logs a hint).
bool GameIdChosen();
// The folder the engine was told to use instead of the computed one; empty: none.
void SetSaveDirOverride(std::string dir);
// Forgets the id and the override (tests).
void ResetGameFolder();

// The game's data folder, ending in '/'.
std::string GameDataFolder();

// A slot: an integer 1 to 9999, or a name of 1 to 32 characters of a-z 0-9 _ -.
// Its canonical text ("7", "quick"), or nothing when it is not a slot.
std::optional<std::string> SlotName(std::string_view text);
std::optional<std::string> SlotName(double number);
// <data folder>saves/<slot>.tsave
std::string SlotPath(std::string_view slot);
// Every slot with a save file: integers ascending, then names in order.
std::vector<std::string> ListSlots();

}  // namespace tessel
