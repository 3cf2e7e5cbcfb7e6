#pragma once

#include <functional>
#include <optional>
#include <string>

#include "app/save/SaveFile.h"

namespace tessel {

// The whole game in slots of the game's data folder. Every refusal and
// failure is one log line naming the file and the reason.

// Registers every subsystem's save section; the first call does, later ones
// nothing. Called at boot, before the first save or load.
void PrepareSaving();

// Writes the game as it is now; `title` empty gives the default title.
bool SaveToSlot(const std::string& slot, const std::string& title);
// Reads and verifies the save; on success the switch waits until the
// running script has returned (ApplyPendingLoad). The game is untouched on a refusal.
bool RequestLoad(const std::string& slot);
bool LoadPending();
// Puts a requested load in place: the engine calls it between scripts,
// before the next frame is drawn.
void ApplyPendingLoad();

// A save file's bytes verified and every section read: the steps that put it
// in place, in order; empty with `why` on a refusal. Nothing changes yet.
std::vector<std::function<void()>> ReadSave(const std::vector<std::uint8_t>& bytes, std::string& why);

std::optional<SaveSummary> SlotSummary(const std::string& slot);
std::optional<SaveThumbnail> SlotThumbnail(const std::string& slot);
bool DeleteSlot(const std::string& slot);

// Grabs the frame on screen for the next save; without it a save takes the
// frame on screen when it is made.
void TakeThumbnail();
// The picture made small for a save (3 bytes a pixel, top row first, at
// most kThumbnailWidth x kThumbnailHeight, the frame's proportions kept).
constexpr int kThumbnailWidth = 160;
constexpr int kThumbnailHeight = 120;
SaveThumbnail ShrinkFrame(const std::vector<std::uint8_t>& rgba, int width, int height);

}  // namespace tessel
