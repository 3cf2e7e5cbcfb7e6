// The yardstick of tools/measure-footprint.sh: an SDL OpenGL window with
// nothing in it, opened the way the engine opens its own (same library, same
// GL setup), cleared and swapped sixty times a second until it is closed.
// Whatever memory a game takes above this one is the engine's own, or the
// driver's for what the game draws: with --picture the window also draws one
// picture the size of the window the way the engine draws a layer (a
// power-of-two RGB texture, blended), which shows the driver's part.
#include <SDL.h>
#include <SDL_opengl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

constexpr const char* kUsage =
    "Usage: tessel-footprint-window [--size WxH] [--picture]\n"
    "Opens an empty SDL OpenGL window (800x600 unless told) and keeps drawing it\n"
    "until it is closed or Escape is pressed; with --picture it also draws one\n"
    "picture as large as the window. Prints \"ready\" once the window is up, so\n"
    "that a script can wait for it.\n";

bool ParseSize(const char* text, int& width, int& height) {
  return std::sscanf(text, "%dx%d", &width, &height) == 2 && width > 0 && height > 0;
}

int PowerOfTwo(int n) {
  int value = 1;
  while (value < n) value *= 2;
  return value;
}

// A gradient the size of the window in the corner of a power-of-two RGB
// texture, as the engine uploads a picture; returns the covered fraction.
GLuint MakePicture(int width, int height, float& right, float& bottom) {
  const int texture_width = PowerOfTwo(width);
  const int texture_height = PowerOfTwo(height);
  std::vector<unsigned char> pixels(static_cast<size_t>(texture_width) * texture_height * 3);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      unsigned char* pixel = &pixels[(static_cast<size_t>(y) * texture_width + x) * 3];
      pixel[0] = static_cast<unsigned char>(x * 255 / width);
      pixel[1] = static_cast<unsigned char>(y * 255 / height);
      pixel[2] = 128;
    }
  }
  GLuint name = 0;
  glGenTextures(1, &name);
  glBindTexture(GL_TEXTURE_2D, name);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, texture_width, texture_height, 0, GL_RGB,
               GL_UNSIGNED_BYTE, pixels.data());
  right = static_cast<float>(width) / texture_width;
  bottom = static_cast<float>(height) / texture_height;
  return name;
}

void DrawPicture(GLuint name, int width, int height, float right, float bottom) {
  glDisable(GL_DEPTH_TEST);
  glEnable(GL_TEXTURE_2D);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0, width, height, 0, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glBindTexture(GL_TEXTURE_2D, name);
  glColor4d(1.0, 1.0, 1.0, 1.0);
  glBegin(GL_TRIANGLE_STRIP);
  glTexCoord2f(0, 0);
  glVertex2d(0, 0);
  glTexCoord2f(right, 0);
  glVertex2d(width, 0);
  glTexCoord2f(0, bottom);
  glVertex2d(0, height);
  glTexCoord2f(right, bottom);
  glVertex2d(width, height);
  glEnd();
  glDisable(GL_BLEND);
  glDisable(GL_TEXTURE_2D);
  glEnable(GL_DEPTH_TEST);
}

}  // namespace

int main(int argc, char** argv) {
  int width = 800;
  int height = 600;
  bool picture = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if (std::strcmp(argv[i], "--size") == 0 && i + 1 < argc && ParseSize(argv[i + 1], width, height)) {
      ++i;
      continue;
    }
    if (std::strcmp(argv[i], "--picture") == 0) {
      picture = true;
      continue;
    }
    std::fprintf(stderr, "tessel-footprint-window: unknown argument '%s'\n%s", argv[i], kUsage);
    return 2;
  }
  if (SDL_Init(SDL_INIT_VIDEO) != 0) {
    std::fprintf(stderr, "Couldn't initialize SDL: %s.\n", SDL_GetError());
    return 1;
  }
  SDL_WM_SetCaption("footprint window", "footprint window");
  // The engine's own attributes and flags: the same visual, depth buffer and
  // back buffer, so both windows cost the driver the same.
  SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 32);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
  if (SDL_SetVideoMode(width, height, 32, SDL_OPENGL | SDL_HWSURFACE | SDL_ANYFORMAT) == nullptr) {
    std::fprintf(stderr, "Couldn't set a %dx%d OpenGL mode: %s\n", width, height, SDL_GetError());
    SDL_Quit();
    return 2;
  }
  glViewport(0, 0, width, height);
  glEnable(GL_DEPTH_TEST);
  float right = 0;
  float bottom = 0;
  const GLuint texture = picture ? MakePicture(width, height, right, bottom) : 0;
  std::printf("ready\n");
  std::fflush(stdout);
  for (bool running = true; running;) {
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
      if (event.type == SDL_QUIT) running = false;
      if (event.type == SDL_KEYDOWN && event.key.keysym.sym == SDLK_ESCAPE) running = false;
    }
    glClearColor(0.1f, 0.15f, 0.25f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    if (texture != 0) DrawPicture(texture, width, height, right, bottom);
    SDL_GL_SwapBuffers();
    SDL_Delay(16);
  }
  SDL_Quit();
  return 0;
}
