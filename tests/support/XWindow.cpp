#include "support/XWindow.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <thread>
#include <vector>

#include "support/TestSupport.h"
#include "support/XImage.h"

namespace tessel::test {
namespace {

Picture FromRgb(int width, int height, const std::string& rgb) {
  if (width <= 0 || height <= 0 || rgb.size() != std::size_t(width) * height * 3) return {};
  Picture picture(width, height);
  for (std::size_t i = 0; i < picture.pixels.size(); ++i) {
    picture.pixels[i] = {static_cast<std::uint8_t>(rgb[i * 3]), static_cast<std::uint8_t>(rgb[i * 3 + 1]),
                         static_cast<std::uint8_t>(rgb[i * 3 + 2]), 255};
  }
  return picture;
}

}  // namespace

std::string Shell(const std::string& command, const std::filesystem::path& cwd) {
  ProcessResult result = RunProcess({"/bin/sh", "-c", command}, cwd, {}, 30);
  EXPECT_EQ(result.status, 0) << command << "\n" << result.err;
  return result.out;
}

XWindow XWindow::Find(const std::string& title) {
  XWindow window;
  // --sync waits for the window; `timeout` keeps a missing one from hanging the test.
  window.id_ = Shell("timeout 30 xdotool search --sync --name '" + title + "' | head -n 1",
                     std::filesystem::temp_directory_path());
  while (!window.id_.empty() && std::isspace(static_cast<unsigned char>(window.id_.back()))) {
    window.id_.pop_back();
  }
  return window;
}

Picture XWindow::Grab() const {
  int width = 0;
  int height = 0;
  std::string rgb;
  if (!ReadWindowRgb(std::strtoul(id_.c_str(), nullptr, 10), &width, &height, &rgb)) return {};
  return FromRgb(width, height, rgb);
}

Picture XWindow::GrabUntil(const std::function<bool(const Picture&)>& ready,
                           int timeout_seconds) const {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeout_seconds);
  for (;;) {
    Picture picture = Grab();
    if ((picture.Valid() && ready(picture)) || std::chrono::steady_clock::now() >= deadline) {
      return picture;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
}

void XWindow::SaveScaled(const std::filesystem::path& png, int width) const {
  const Picture picture = Grab();
  ASSERT_TRUE(picture.Valid()) << "window " << id_ << " is gone";
  const std::filesystem::path ppm = png.string() + ".ppm";
  {
    std::ofstream out(ppm, std::ios::binary);
    out << "P6\n" << picture.width << " " << picture.height << "\n255\n";
    for (const Rgba& pixel : picture.pixels) out << pixel.r << pixel.g << pixel.b;
  }
  Shell("convert '" + ppm.string() + "' -resize " + std::to_string(width) + "x -strip '" +
            png.string() + "'",
        std::filesystem::temp_directory_path());
  std::filesystem::remove(ppm);
}

void XWindow::Key(const std::string& key) const {
  Shell("xdotool key --window " + id_ + " " + key, std::filesystem::temp_directory_path());
}

void XWindow::MoveAndClick(int x, int y, int button) const {
  const std::string move = "xdotool mousemove --window " + id_ + " ";
  const std::filesystem::path cwd = std::filesystem::temp_directory_path();
  Shell(move + "1 1", cwd);
  Shell(move + std::to_string(x) + " " + std::to_string(y), cwd);
  Shell("xdotool click --window " + id_ + " " + std::to_string(button), cwd);
}

}  // namespace tessel::test
