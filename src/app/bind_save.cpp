// Extension family: saving and loading the game.
extern "C" {
#include <lua.h>
}

#include <SDL.h>

#include <cstring>
#include <optional>
#include <string>

#include "app/save/GameFolder.h"
#include "app/save/SaveSlots.h"
#include "core/DebugLog.h"
#include "graphics/TexImage.h"
#include "script/CommandFamilies.h"

namespace tessel {
namespace {

// A command whose first argument is a slot: a wrong one is a log line and
// `Refused()`, never a script error.
class SlotCommand : public ScriptFunction {
  int Invoke() final {
    std::optional<std::string> slot;
    if (IsNumberArg(1) && !IsStringTypeArg(1)) {
      slot = SlotName(ArgNumber(1));
    } else if (std::optional<std::string_view> text = ArgBytes(1)) {
      slot = SlotName(*text);
    }
    if (!slot) {
      DebugLog::Print("%s: the slot must be an integer 1 to 9999 or a name of 1 to 32 characters of "
                      "a-z 0-9 _ -; nothing was done.\n",
                      Name());
      return Refused();
    }
    return Run(*slot);
  }

 protected:
  virtual int Run(const std::string& slot) = 0;
  virtual int Refused() { return PushBool(false); }
  int PushBool(bool value) {
    lua_pushboolean(State(), value ? 1 : 0);
    return 1;
  }
};

class SetGameIdCommand final : public ScriptFunction {
  int Invoke() override {
    std::optional<std::string_view> id = ArgBytes(1);
    if (!id || !SetGameId(*id)) {
      DebugLog::Print("SetGameId: a game id is 1 to 64 characters of A-Z a-z 0-9 . _ -; the id "
                      "stays '%s'.\n",
                      GameId().c_str());
    }
    return 0;
  }
};

class SaveGameCommand final : public SlotCommand {
  int Run(const std::string& slot) override {
    std::optional<std::string_view> title = ArgBytes(2);
    return PushBool(SaveToSlot(slot, title ? std::string(*title) : std::string()));
  }
};

class LoadGameCommand final : public SlotCommand {
  int Run(const std::string& slot) override { return PushBool(RequestLoad(slot)); }
};

class DeleteSaveCommand final : public SlotCommand {
  int Run(const std::string& slot) override { return PushBool(DeleteSlot(slot)); }
};

class GetSaveInfoCommand final : public SlotCommand {
  int Refused() override { return PushNil(); }
  int Run(const std::string& slot) override {
    std::optional<SaveSummary> summary = SlotSummary(slot);
    if (!summary) return PushNil();
    lua_State* state = State();
    lua_createtable(state, 0, 4);
    lua_pushlstring(state, summary->title.data(), summary->title.size());
    lua_setfield(state, -2, "title");
    lua_pushnumber(state, static_cast<lua_Number>(summary->time));
    lua_setfield(state, -2, "time");
    lua_pushlstring(state, summary->file.data(), summary->file.size());
    lua_setfield(state, -2, "file");
    lua_pushnumber(state, summary->line);
    lua_setfield(state, -2, "line");
    return 1;
  }
};

class LoadSaveThumbnailCommand final : public SlotCommand {
  int Refused() override { return PushNil(); }
  int Run(const std::string& slot) override {
    std::optional<SaveThumbnail> picture = SlotThumbnail(slot);
    if (!picture) return PushNil();
    SDL_Surface* surface = SDL_CreateRGBSurface(SDL_SWSURFACE, picture->width, picture->height, 32,
                                                0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000);
    if (surface == nullptr) return PushNil();
    for (int y = 0; y < picture->height; ++y) {
      auto* row = static_cast<std::uint8_t*>(surface->pixels) + static_cast<std::ptrdiff_t>(y) * surface->pitch;
      for (int x = 0; x < picture->width; ++x) {
        std::memcpy(row + x * 4, &picture->rgb[(static_cast<std::size_t>(y) * picture->width + x) * 3], 3);
        row[x * 4 + 3] = 255;
      }
    }
    const int pushed = PushObject(Registry().Add(std::make_unique<TexImage>(surface)));
    SDL_FreeSurface(surface);
    return pushed;
  }
};

class TakeSaveThumbnailCommand final : public ScriptFunction {
  int Invoke() override {
    TakeThumbnail();
    return 0;
  }
};

class ListSavesCommand final : public ScriptFunction {
  int Invoke() override {
    lua_State* state = State();
    const std::vector<std::string> slots = ListSlots();
    lua_createtable(state, static_cast<int>(slots.size()), 0);
    for (std::size_t i = 0; i < slots.size(); ++i) {
      const std::string& slot = slots[i];
      if (slot[0] >= '0' && slot[0] <= '9') {
        lua_pushnumber(state, std::stoi(slot));
      } else {
        lua_pushlstring(state, slot.data(), slot.size());
      }
      lua_rawseti(state, -2, static_cast<int>(i) + 1);
    }
    return 1;
  }
};

constexpr CommandEntry kCommands[] = {
    {"SetGameId", MakeCommand<SetGameIdCommand>},
    {"SaveGame", MakeCommand<SaveGameCommand>},
    {"LoadGame", MakeCommand<LoadGameCommand>},
    {"GetSaveInfo", MakeCommand<GetSaveInfoCommand>},
    {"TakeSaveThumbnail", MakeCommand<TakeSaveThumbnailCommand>},
    {"LoadSaveThumbnail", MakeCommand<LoadSaveThumbnailCommand>},
    {"DeleteSave", MakeCommand<DeleteSaveCommand>},
    {"ListSaves", MakeCommand<ListSavesCommand>},
};

}  // namespace

std::span<const CommandEntry> SaveCommands() { return kCommands; }

}  // namespace tessel
