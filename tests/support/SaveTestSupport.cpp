#include "support/SaveTestSupport.h"

#include <SDL.h>
#include <SDL_opengl.h>

#include <functional>

#include "app/EngineSaveSections.h"
#include "core/SaveSections.h"

namespace tessel::test {

std::vector<std::uint8_t> SaveEngineState() {
  RegisterEngineSaveSections();
  SaveWriter out;
  for (const SaveSection& section : SaveSections()) {
    SaveWriter body;
    section.write(body);
    out.String(section.tag);
    out.U32(static_cast<std::uint32_t>(body.Data().size()));
    out.Bytes(body.Data().data(), body.Data().size());
  }
  return out.Take();
}

std::string LoadEngineState(const std::vector<std::uint8_t>& bytes) {
  RegisterEngineSaveSections();
  SaveReader in(bytes);
  std::vector<std::function<void()>> steps;
  for (const SaveSection& section : SaveSections()) {
    if (in.String(64) != section.tag) return "section " + section.tag + " is missing";
    std::vector<std::uint8_t> body(in.Count(1));
    in.Bytes(body.data(), body.size());
    SaveReader reader(body);
    std::function<void()> apply = section.read(reader);
    if (!reader.Ok() || !apply) return section.tag + ": " + reader.Error();
    if (!reader.AtEnd()) return section.tag + ": unread bytes";
    steps.push_back(std::move(apply));
  }
  for (const auto& step : steps) step();
  return "";
}

std::vector<std::uint8_t> ReadFrame() {
  SDL_Surface* screen = SDL_GetVideoSurface();
  if (screen == nullptr) return {};
  std::vector<std::uint8_t> pixels(static_cast<std::size_t>(screen->w) * screen->h * 4);
  glReadPixels(0, 0, screen->w, screen->h, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
  return pixels;
}

}  // namespace tessel::test
