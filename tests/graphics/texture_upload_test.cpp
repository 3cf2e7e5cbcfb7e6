// Uploading pictures: power-of-two sizes and coordinates, every decoded
// depth shown with its colours and transparency, empty textures that draw
// nothing, partial updates clipped to the texture.
#include <SDL.h>
#include <SDL_opengl.h>

#include "graphics/GraphicsTest.h"
#include "graphics/TexImage.h"
#include "graphics/Texture.h"
#include "graphics/TextureManager.h"

namespace tessel {
namespace {

using test::EncodeBmp;
using test::EncodeGif;
using test::EncodeGreyPng;
using test::EncodePalettePng;
using test::EncodePng;
using test::EncodeTga;
using test::GlobalObject;
using test::LogOf;
using test::Near;
using test::Picture;
using test::Rgba;

constexpr Rgba kBlue{0, 0, 255, 255};
constexpr Rgba kRed{255, 0, 0, 255};
constexpr Rgba kGreen{0, 255, 0, 255};
constexpr Rgba kWhite{255, 255, 255, 255};

class TextureUploadTest : public test::GraphicsWindowTest {
 protected:
  // Shows the texture image held by `global` at the top-left corner.
  void Show(const std::string& global) {
    Run("layer_" + global + " = CreateLayer(" + global + ") LayerAddFront(layer_" + global + ")");
  }
  Texture& TextureOf(const std::string& global) {
    auto* image = GlobalObject<TexImage>(global);
    EXPECT_NE(image, nullptr) << global;
    return image->GetTexture();
  }
  static Picture Quarters() {
    Picture picture(2, 2);
    picture.At(0, 0) = {255, 0, 0, 255};
    picture.At(1, 0) = {0, 255, 0, 128};
    picture.At(0, 1) = {0, 0, 0, 0};
    picture.At(1, 1) = {255, 255, 255, 255};
    return picture;
  }
};

TEST_F(TextureUploadTest, SizesRoundUpToPowersOfTwo) {
  Run("big = LoadTexImage(640, 480) w, h = GetTexImageInf(big)");
  EXPECT_EQ(Number("w"), 640);
  EXPECT_EQ(Number("h"), 480);
  Texture& big = TextureOf("big");
  EXPECT_EQ(big.TextureWidth(), 1024);
  EXPECT_EQ(big.TextureHeight(), 512);
  EXPECT_FLOAT_EQ(big.Right(), 0.625f);
  EXPECT_FLOAT_EQ(big.Bottom(), 0.9375f);
  EXPECT_EQ(big.Left(), 0);
  EXPECT_EQ(big.Top(), 0);
  EXPECT_TRUE(big.Uploaded());
  EXPECT_EQ(glIsTexture(big.Name()), GL_TRUE);

  Run("one = LoadTexImage(1, 1) none = LoadTexImage(0, 0)");
  EXPECT_EQ(TextureOf("one").TextureWidth(), 1);
  EXPECT_EQ(TextureOf("one").Right(), 1);
  EXPECT_EQ(TextureOf("one").Bottom(), 1);
  Texture& none = TextureOf("none");
  EXPECT_TRUE(none.Uploaded());
  EXPECT_EQ(none.TextureWidth(), 1);
  EXPECT_EQ(none.Right(), 0);

  EXPECT_EQ(NextPowerOfTwo(-5), 1);
  EXPECT_EQ(NextPowerOfTwo(512), 512);
  EXPECT_EQ(NextPowerOfTwo(513), 1024);
  EXPECT_EQ(NextPowerOfTwo(0x7FFFFFFF), 0);  // no overflow into a negative size
}

TEST_F(TextureUploadTest, EveryDepthShowsItsColoursAndTransparency) {
  const std::vector<Rgba> palette = {{255, 0, 0}, {0, 255, 0}, {0, 0, 0}, {255, 255, 255}};
  const std::vector<std::uint8_t> indices = {0, 1, 2, 3};
  WriteResource("rgba.png", EncodePng(Quarters(), true));
  WriteResource("palette.png", EncodePalettePng(2, 2, indices, palette, 2));
  WriteResource("image.gif", EncodeGif(2, 2, indices, palette, 2));
  WriteResource("rgba.tga", EncodeTga(Quarters(), true));
  Run("a = LoadTexImage('rgba.png') OffsetLayer(CreateLayer(a), 0, 0)");
  Run("LayerAddFront(CreateLayer(a))");
  Run("p = LoadTexImage('palette.png') lp = CreateLayer(p) OffsetLayer(lp, 4, 0) "
      "LayerAddFront(lp)");
  Run("g = LoadTexImage('image.gif') lg = CreateLayer(g) OffsetLayer(lg, 8, 0) LayerAddFront(lg)");
  Run("t = LoadTexImage('rgba.tga') lt = CreateLayer(t) OffsetLayer(lt, 12, 0) LayerAddFront(lt)");
  RenderFrame();

  for (int x : {0, 12}) {  // 32-bit: alpha kept, 50 % green over blue, 0 shows blue
    EXPECT_TRUE(Near(Pixel(x, 0), kRed)) << x;
    EXPECT_TRUE(Near(Pixel(x + 1, 0), Rgba{0, 128, 127, 255})) << x;
    EXPECT_TRUE(Near(Pixel(x, 1), kBlue)) << x;
    EXPECT_TRUE(Near(Pixel(x + 1, 1), kWhite)) << x;
  }
  for (int x : {4, 8}) {  // 8-bit palettes: opaque colours, the keyed index transparent
    EXPECT_TRUE(Near(Pixel(x, 0), kRed)) << x;
    EXPECT_TRUE(Near(Pixel(x + 1, 0), kGreen)) << x;
    EXPECT_TRUE(Near(Pixel(x, 1), kBlue)) << x;
    EXPECT_TRUE(Near(Pixel(x + 1, 1), kWhite)) << x;
  }
  EXPECT_EQ(TextureOf("g").Format(), GL_RGBA);
  EXPECT_EQ(TextureOf("g").SourceDepth(), 8);
  EXPECT_TRUE(Near(Pixel(2, 0), kBlue));  // nothing beyond the picture
}

TEST_F(TextureUploadTest, RgbSourcesStayRgbUnlessKeyed) {
  Picture picture = Quarters();
  WriteResource("rgb.png", EncodePng(picture, false));
  WriteResource("rgb.bmp", EncodeBmp(picture));
  WriteResource("grey.png", EncodeGreyPng(picture));
  Run("png = LoadTexImage('rgb.png') bmp = LoadTexImage('rgb.bmp') grey = "
      "LoadTexImage('grey.png')");
  EXPECT_EQ(TextureOf("png").Format(), GL_RGB);
  EXPECT_EQ(TextureOf("bmp").Format(), GL_RGB);
  EXPECT_EQ(TextureOf("grey").Format(), GL_RGBA);
  Run("l = CreateLayer(bmp) LayerAddFront(l) l2 = CreateLayer(grey) OffsetLayer(l2, 4, 0) "
      "LayerAddFront(l2)");
  RenderFrame();
  EXPECT_TRUE(Near(Pixel(0, 0), kRed));
  EXPECT_TRUE(Near(Pixel(0, 1), Rgba{0, 0, 0, 255}));  // no alpha in a BMP: black stays black
  EXPECT_TRUE(Near(Pixel(4, 0), kWhite));              // grey level 255
  EXPECT_TRUE(Near(Pixel(4, 1), Rgba{0, 0, 0, 255}));

  // A colour key on a 24-bit picture makes it RGBA with the keyed colour clear.
  SurfacePtr keyed(SDL_CreateRGBSurface(0, 2, 1, 24, 0x0000FF, 0x00FF00, 0xFF0000, 0));
  SDL_FillRect(keyed.get(), nullptr, SDL_MapRGB(keyed->format, 255, 0, 255));
  SDL_Rect left{0, 0, 1, 1};
  SDL_FillRect(keyed.get(), &left, SDL_MapRGB(keyed->format, 0, 255, 0));
  SDL_SetColorKey(keyed.get(), SDL_SRCCOLORKEY, SDL_MapRGB(keyed->format, 255, 0, 255));
  auto texture = std::make_shared<Texture>(keyed.get());
  EXPECT_EQ(texture->Format(), GL_RGBA);
  std::vector<std::uint8_t> texels(2 * 1 * 4);
  glBindTexture(GL_TEXTURE_2D, texture->Name());
  glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
  EXPECT_EQ(texels[1], 255);  // green, opaque
  EXPECT_EQ(texels[3], 255);
  EXPECT_EQ(texels[7], 0);  // keyed: transparent
}

TEST_F(TextureUploadTest, AlphaIsCopiedAndTheSourceKeepsItsFlags) {
  SurfacePtr source = CreateRgbaSurface(2, 1);
  auto* bytes = static_cast<std::uint8_t*>(source->pixels);
  const std::uint8_t kPixels[] = {10, 20, 30, 40, 50, 60, 70, 0};
  std::copy(std::begin(kPixels), std::end(kPixels), bytes);
  SDL_SetAlpha(source.get(), SDL_SRCALPHA, 200);
  const Uint32 flags = source->flags & (SDL_SRCALPHA | SDL_RLEACCELOK);
  const Uint8 surface_alpha = source->format->alpha;
  ASSERT_NE(flags & SDL_SRCALPHA, 0u);
  Texture texture(source.get());
  EXPECT_EQ(source->flags & (SDL_SRCALPHA | SDL_RLEACCELOK), flags);
  EXPECT_EQ(source->format->alpha, surface_alpha);

  std::vector<std::uint8_t> texels(2 * 1 * 4);
  glBindTexture(GL_TEXTURE_2D, texture.Name());
  glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
  EXPECT_EQ(std::vector<std::uint8_t>(std::begin(kPixels), std::end(kPixels)), texels);

  // 16 bit has no alpha: an opaque RGBA texture.
  SurfacePtr sixteen(SDL_CreateRGBSurface(0, 1, 1, 16, 0xF800, 0x07E0, 0x001F, 0));
  SDL_FillRect(sixteen.get(), nullptr, 0xF800);
  Texture red(sixteen.get());
  EXPECT_EQ(red.Format(), GL_RGBA);
  glBindTexture(GL_TEXTURE_2D, red.Name());
  glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
  EXPECT_EQ(texels[0], 255);
  EXPECT_EQ(texels[1], 0);
  EXPECT_EQ(texels[3], 255);
}

TEST_F(TextureUploadTest, EmptyTexturesAreLiveAndDrawNothing) {
  std::string log =
      LogOf([&] { Run("missing = LoadTexImage('missing.png') w, h = GetTexImageInf(missing)"); });
  EXPECT_EQ(log,
            "Can't Load image.\nmissing.png: no such resource\n"
            "バインドしようとしているサーフェースが無効です\n");
  EXPECT_EQ(Number("w"), 0);
  EXPECT_EQ(Number("h"), 0);
  Texture& missing = TextureOf("missing");
  EXPECT_FALSE(missing.Uploaded());
  EXPECT_EQ(missing.Name(), 0u);

  log = LogOf([&] { Run("huge = LoadTexImage(100000, 8) neg = LoadTexImage(-4, 4)"); });
  EXPECT_NE(log.find("100000x8"), std::string::npos) << log;
  EXPECT_NE(log.find("-4x4"), std::string::npos) << log;
  EXPECT_FALSE(TextureOf("huge").Uploaded());
  EXPECT_EQ(TextureOf("huge").ImageWidth(), 0);

  Run("for _, t in ipairs({missing, huge, neg}) do local l = CreateLayer(t) "
      "SetLayerISize(l, 0, 0, 8, 8) LayerAddFront(l) end");
  RenderFrame();
  for (int x : {0, 4, 7}) EXPECT_TRUE(Near(Pixel(x, x), kBlue)) << x;

  // Arguments that are neither a size nor a name make nothing at all.
  log = LogOf([&] { Run("a = LoadTexImage(true) b = LoadTexImage() c = LoadTexImage(5)"); });
  EXPECT_NE(log.find("LoadTexImage"), std::string::npos);
  for (const char* name : {"a", "b", "c"}) {
    EXPECT_EQ(test::GlobalHandle(name), nullptr) << name;
    EXPECT_FALSE(IsNil(name)) << name;  // a light userdata holding null
  }
}

TEST_F(TextureUploadTest, UploadIsRefusedTwiceAndRecreateStartsOver) {
  Texture texture(4, 4);
  ASSERT_TRUE(texture.Uploaded());
  SurfacePtr other = CreateRgbaSurface(2, 2);
  std::string log = LogOf([&] { EXPECT_FALSE(texture.Upload(other.get())); });
  EXPECT_EQ(log, "すでにテクスチャ化されています\n");
  log = LogOf([&] { EXPECT_FALSE(texture.Upload(nullptr)); });
  EXPECT_EQ(log, "バインドしようとしているサーフェースが無効です\n");

  const unsigned int old_name = texture.Name();
  EXPECT_TRUE(texture.Recreate(40, 3));
  EXPECT_EQ(texture.TextureWidth(), 64);
  EXPECT_EQ(texture.TextureHeight(), 4);
  EXPECT_EQ(texture.ImageWidth(), 40);
  EXPECT_NE(texture.Name(), 0u);
  (void)old_name;

  const std::size_t count = TextureManager::Count();
  texture.Release();
  EXPECT_EQ(TextureManager::Count(), count - 1);
  texture.Release();  // twice is harmless
  EXPECT_EQ(TextureManager::Count(), count - 1);
  EXPECT_TRUE(texture.Upload(other.get()));  // made again: carried across mode changes again
  EXPECT_EQ(TextureManager::Count(), count);
}

TEST_F(TextureUploadTest, StagingCopiesAreMadeOnlyForTexturesDrawnInto) {
  WriteResource("rgb.png", EncodePng(Quarters(), false));
  Run("rgb = LoadTexImage('rgb.png') page = LoadTexImage(3, 2) l = CreateLayer(page) "
      "LayerAddFront(l)");
  Texture& rgb = TextureOf("rgb");
  Texture& page = TextureOf("page");
  EXPECT_FALSE(rgb.HasStagingCopy());
  EXPECT_FALSE(page.HasStagingCopy());

  // Asked for, the copy is read back in the layout of the upload, and kept.
  SDL_Surface* copy = rgb.Staging();
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->format->BytesPerPixel, 3);
  ASSERT_EQ(copy->w, 2);
  const auto* rows = static_cast<const std::uint8_t*>(copy->pixels);
  EXPECT_EQ(std::vector<std::uint8_t>(rows, rows + 6),
            (std::vector<std::uint8_t>{255, 0, 0, 0, 255, 0}));
  EXPECT_EQ(rows[copy->pitch + 3], 255);  // the white pixel below the green one
  EXPECT_EQ(rgb.Staging(), copy);

  // Drawn into and sent, it shows.
  SDL_Surface* blank = page.Staging();
  ASSERT_NE(blank, nullptr);
  EXPECT_EQ(blank->w, 3);  // the picture, not the power-of-two texture around it
  EXPECT_EQ(blank->h, 2);
  auto* pixel = static_cast<std::uint8_t*>(blank->pixels) + 4;
  EXPECT_EQ(pixel[3], 0);
  pixel[1] = pixel[3] = 255;
  page.UploadStagingRect(1, 0, 1, 1);
  RenderFrame();
  EXPECT_EQ(Pixel(1, 0), kGreen);
  EXPECT_TRUE(Near(Pixel(0, 0), kBlue));
}

TEST_F(TextureUploadTest, UpdateRegionCopiesBytesClippedToTheTexture) {
  Run("page = LoadTexImage(8, 8) l = CreateLayer(page) LayerAddFront(l)");
  Texture& page = TextureOf("page");
  SurfacePtr glyph = CreateRgbaSurface(4, 4);
  SDL_FillRect(glyph.get(), nullptr, SDL_MapRGBA(glyph->format, 10, 20, 30, 255));

  page.UpdateRegion(glyph.get(), 6.9, 6.2);  // truncated to (6, 6); 2 x 2 of it fits
  page.UpdateRegion(glyph.get(), -2, -3);    // the part at (0..1, 0)
  page.UpdateRegion(glyph.get(), 100, 0);    // entirely outside
  page.UpdateRegion(nullptr, 0, 0);
  SurfacePtr rgb = CreateRgbSurface(8, 8);
  SDL_FillRect(rgb.get(), nullptr, 0xFFFFFF);
  page.UpdateRegion(rgb.get(), 0, 0);  // not 32 bit: ignored
  Texture never;
  never.UpdateRegion(glyph.get(), 0, 0);  // never uploaded: ignored

  RenderFrame();
  const Rgba kGlyph{10, 20, 30, 255};
  EXPECT_EQ(Pixel(6, 6), kGlyph);
  EXPECT_EQ(Pixel(7, 7), kGlyph);
  EXPECT_EQ(Pixel(1, 0), kGlyph);
  EXPECT_TRUE(Near(Pixel(0, 1), kBlue));
  EXPECT_TRUE(Near(Pixel(2, 0), kBlue));
  EXPECT_TRUE(Near(Pixel(5, 5), kBlue));
  EXPECT_TRUE(Near(Pixel(8, 8), kBlue));  // beyond the 8 x 8 picture
}

}  // namespace
}  // namespace tessel
