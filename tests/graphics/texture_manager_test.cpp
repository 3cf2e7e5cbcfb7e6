// Carrying textures across a change of video mode: save and restore, a lost
// context whose new names collide with the old ones, and a real F4 round trip.
#include <SDL.h>
#include <SDL_opengl.h>

#include <memory>
#include <set>

#include "app/SystemEventHandler.h"
#include "app/Window.h"
#include "graphics/GraphicsTest.h"
#include "graphics/TexImage.h"
#include "graphics/Texture.h"
#include "graphics/TextureManager.h"

namespace tessel {
namespace {

using test::EncodeBmp;
using test::EncodePng;
using test::GlobalObject;
using test::Picture;
using test::Rgba;

class TextureManagerTest : public test::GraphicsWindowTest {
 protected:
  // Three layers side by side: an RGBA picture, an RGB picture and a page
  // partly written by UpdateRegion.
  void SetUp() override {
    GraphicsWindowTest::SetUp();
    if (HasFatalFailure()) return;
    Picture picture(4, 4, {200, 100, 50, 255});
    picture.At(1, 1) = {0, 255, 0, 0};
    picture.At(2, 3) = {9, 99, 199, 255};
    WriteResource("rgba.png", EncodePng(picture, true));
    WriteResource("rgb.bmp", EncodeBmp(picture));
    Run("a = LoadTexImage('rgba.png') la = CreateLayer(a) LayerAddFront(la)"
        " b = LoadTexImage('rgb.bmp') lb = CreateLayer(b) OffsetLayer(lb, 8, 0) LayerAddFront(lb)"
        " c = LoadTexImage(4, 4) lc = CreateLayer(c) OffsetLayer(lc, 16, 0) LayerAddFront(lc)");
    SurfacePtr glyph = CreateRgbaSurface(2, 2);
    SDL_FillRect(glyph.get(), nullptr, SDL_MapRGBA(glyph->format, 255, 255, 0, 255));
    GlobalObject<TexImage>("c")->GetTexture().UpdateRegion(glyph.get(), 1, 1);
  }

  std::vector<Rgba> Frame() {
    RenderFrame();
    std::vector<Rgba> pixels;
    for (int y = 0; y < 5; ++y) {
      for (int x = 0; x < 22; ++x) pixels.push_back(Pixel(x, y));
    }
    return pixels;
  }

  static std::vector<Texture*> All() { return TextureManager::Textures(); }
};

TEST_F(TextureManagerTest, SaveAndRestoreKeepEveryImage) {
  const std::vector<Rgba> before = Frame();
  ASSERT_EQ(All().size(), 3u);

  TextureManager::SaveAll();
  Texture& rgba = GlobalObject<TexImage>("a")->GetTexture();
  Texture& rgb = GlobalObject<TexImage>("b")->GetTexture();
  ASSERT_TRUE(rgba.HasSavedImage());
  EXPECT_EQ(rgba.SavedInternalFormat(), GL_RGBA);
  EXPECT_EQ(rgba.SavedImage()->h, 4 + 10);  // ten spare rows
  EXPECT_EQ(rgba.SavedImage()->format->BitsPerPixel, 32);
  EXPECT_EQ(rgb.SavedImage()->h, 4);
  EXPECT_EQ(rgb.SavedImage()->format->BitsPerPixel, 24);

  TextureManager::RestoreAll();
  std::set<unsigned int> names;
  for (Texture* texture : All()) {
    EXPECT_FALSE(texture->HasSavedImage());
    EXPECT_EQ(glIsTexture(texture->Name()), GL_TRUE);
    names.insert(texture->Name());
  }
  EXPECT_EQ(names.size(), 3u);
  EXPECT_EQ(Frame(), before);
}

TEST_F(TextureManagerTest, LostContextWhoseNewNamesCollideWithTheOldOnes) {
  // List order c, a, b with names 3, 1, 2. A new context hands out 1, 2, 3
  // again: restoring c under 1 and then deleting a's old name 1 would delete c.
  std::vector<Texture*> order = All();
  ASSERT_EQ(order.size(), 3u);
  for (Texture* texture : {order[0], order[1]}) {
    TextureManager::Remove(texture);
    TextureManager::Add(texture);
  }
  ASSERT_GT(All()[0]->Name(), All()[1]->Name());
  const std::set<unsigned int> old_names = {All()[0]->Name(), All()[1]->Name(), All()[2]->Name()};
  const std::vector<Rgba> before = Frame();

  TextureManager::SaveAll();
  // Losing the video subsystem loses the context and every texture in it.
  SDL_QuitSubSystem(SDL_INIT_VIDEO);
  ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
  ::testing::internal::CaptureStdout();
  InitWindow(kWidth, kHeight);
  test::StopCapturingStdout();
  for (unsigned int name : old_names) ASSERT_EQ(glIsTexture(name), GL_FALSE) << name;

  TextureManager::RestoreAll();
  std::set<unsigned int> names;
  for (Texture* texture : All()) {
    EXPECT_EQ(glIsTexture(texture->Name()), GL_TRUE);
    names.insert(texture->Name());
  }
  EXPECT_EQ(names.size(), 3u) << "two textures share a name";
  EXPECT_EQ(names, old_names) << "the new context was expected to reuse the numbers";
  EXPECT_EQ(Frame(), before);
}

TEST_F(TextureManagerTest, FullScreenRoundTripKeepsThePixels) {
  const std::vector<Rgba> before = Frame();
  ASSERT_EQ(SDL_GetVideoSurface()->flags & SDL_FULLSCREEN, 0u);

  SystemEventHandler::ToggleFullScreen();
  SDL_Surface* screen = SDL_GetVideoSurface();
  ASSERT_NE(screen, nullptr);
  EXPECT_NE(screen->flags & SDL_FULLSCREEN, 0u);
  if (screen->w == kWidth && screen->h == kHeight) {
    EXPECT_EQ(Frame(), before);
  }

  SystemEventHandler::ToggleFullScreen();
  EXPECT_EQ(SDL_GetVideoSurface()->flags & SDL_FULLSCREEN, 0u);
  EXPECT_EQ(Frame(), before);
  for (Texture* texture : All()) EXPECT_FALSE(texture->HasSavedImage());
}

TEST_F(TextureManagerTest, EmptyAndReleasedTexturesAreLeftAlone) {
  Run("empty = LoadTexImage('missing.png') ReleaseTexImage(b)");
  // b's layer still shows its picture: the layer owns the texture too.
  ASSERT_EQ(All().size(), 4u);
  Run("ReleaseLayer(lb)");
  ASSERT_EQ(All().size(), 3u);
  TextureManager::SaveAll();
  TextureManager::RestoreAll();
  Texture& empty = GlobalObject<TexImage>("empty")->GetTexture();
  EXPECT_EQ(empty.Name(), 0u);
  EXPECT_FALSE(empty.Uploaded());
}

}  // namespace
}  // namespace tessel
