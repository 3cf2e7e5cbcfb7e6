#include "XScreen.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdlib>
#include <thread>
#include <vector>

#include "support/TestSupport.h"

namespace tessel::test {

int Picture::LowestInkedRow() const {
  for (int y = height - 1; y >= 0; --y) {
    if (InkInRows(y, y + 1) > 0) return y;
  }
  return -1;
}

int Picture::Count(int left, int top, int right, int bottom,
                   const std::function<bool(const Picture&, int, int)>& test) const {
  int count = 0;
  for (int y = std::max(top, 0); y < std::min(bottom, height); ++y) {
    for (int x = std::max(left, 0); x < std::min(right, width); ++x) count += test(*this, x, y);
  }
  return count;
}

Picture ParsePpm(const std::string& bytes) {
  Picture picture;
  std::size_t at = 0;
  auto next_token = [&]() {
    std::string token;
    while (at < bytes.size()) {
      const char c = bytes[at];
      if (c == '#') {
        while (at < bytes.size() && bytes[at] != '\n') ++at;
      } else if (std::isspace(static_cast<unsigned char>(c))) {
        if (!token.empty()) break;
        ++at;
      } else {
        token += c;
        ++at;
      }
    }
    return token;
  };
  if (next_token() != "P6") return picture;
  std::vector<int> header;
  for (int i = 0; i < 3; ++i) header.push_back(std::atoi(next_token().c_str()));
  ++at;  // the one whitespace before the pixels
  if (header[2] != 255 || at > bytes.size()) return picture;
  picture.width = header[0];
  picture.height = header[1];
  picture.rgb = bytes.substr(at);
  return picture;
}

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
  return ParsePpm(Shell("xwd -silent -id " + id_ + " | convert xwd:- ppm:-",
                        std::filesystem::temp_directory_path()));
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
  Shell("xwd -silent -id " + id_ + " | convert xwd:- -resize " + std::to_string(width) +
            "x -strip '" + png.string() + "'",
        std::filesystem::temp_directory_path());
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
