#pragma once

#include <string>

namespace tessel::bundle {

struct BundleOptions {
  std::string game;    // the game's folder, a file in it (main.tsl), or a main.dat
  std::string out;     // the bundle's folder, made new
  std::string name;    // the launcher's name; default: OUT's last part
  std::string icon;    // a PNG for the desktop entry
  std::string engine;  // the tessel binary to bundle
  bool tar = false;    // also OUT.tar.gz
};

// Checks the game, then builds the bundle in a temporary folder beside OUT
// and moves it into place, so a failure leaves no half-made bundle.
// Progress goes to standard output, problems to standard error. Returns the
// exit status: 0 done, 1 the game has errors or a step failed, 2 nothing to
// bundle (no game, OUT not empty).
int MakeBundle(BundleOptions options);

}  // namespace tessel::bundle
