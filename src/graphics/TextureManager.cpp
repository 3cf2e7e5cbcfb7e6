#include "graphics/TextureManager.h"

#include <algorithm>

#include "graphics/Texture.h"

namespace tessel {
namespace {

std::vector<Texture*>& List() {
  static auto& textures = *new std::vector<Texture*>;
  return textures;
}

}  // namespace

void TextureManager::SaveAll() {
  for (Texture* texture : List()) texture->SaveImage();
}

void TextureManager::RestoreAll() {
  for (Texture* texture : List()) texture->DeleteName();
  for (Texture* texture : List()) texture->RestoreImage();
}

void TextureManager::Add(Texture* texture) { List().push_back(texture); }

void TextureManager::Remove(Texture* texture) {
  auto& list = List();
  // Textures die mostly in the reverse order of their making: search from the back.
  auto it = std::find(list.rbegin(), list.rend(), texture);
  if (it != list.rend()) list.erase(std::next(it).base());
}

std::size_t TextureManager::Count() { return List().size(); }

const std::vector<Texture*>& TextureManager::Textures() { return List(); }

}  // namespace tessel
