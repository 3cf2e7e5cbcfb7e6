#include "bundle/Bundle.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <vector>

#include "resource/BaseDirectory.h"
#include "bundle/BundleSettings.h"
#include "bundle/GameFonts.h"
#include "bundle/GamePacking.h"
#include "bundle/Launcher.h"
#include "bundle/Process.h"
#include "bundle/SharedLibraries.h"
#include "check/GameChecker.h"
#include "check/Report.h"
#include "text/FontLookup.h"

namespace fs = std::filesystem;

namespace tessel::bundle {
namespace {

struct Failure {
  int status;
  std::string message;
};

// What went into the bundle, for CONTENTS.txt.
struct Contents {
  std::vector<std::string> fonts;      // "name -> file (how), licence"
  std::vector<std::string> libraries;  // "soname (package)"
  std::map<std::string, std::string> licences;  // package -> copyright file in the bundle
};

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void WriteFile(const fs::path& path, const std::string& text, bool executable) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
  out.close();
  if (!out) throw Failure{1, path.string() + ": cannot write"};
  if (executable) {
    fs::permissions(path, fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec,
                    fs::perm_options::add);
  }
}

void Copy(const fs::path& from, const fs::path& to) {
  std::error_code ec;
  fs::create_directories(to.parent_path(), ec);
  fs::copy_file(from, to, fs::copy_options::overwrite_existing, ec);
  if (ec) throw Failure{1, from.string() + ": cannot copy to " + to.string() + ": " + ec.message()};
}

// The game's folder: the game itself, or the folder of the file given.
fs::path GameFolder(const fs::path& game) {
  std::error_code ec;
  return fs::is_directory(game, ec) ? game : game.parent_path().empty() ? "." : game.parent_path();
}

void CheckTheGame(const std::string& game) {
  check::Report report;
  std::string fatal;
  if (!check::CheckGame(game, report, fatal)) throw Failure{2, fatal};
  if (report.Errors(false) > 0) {
    report.Print(stderr, false);
    throw Failure{1, "the game has errors (above); fix them and bundle again"};
  }
  if (report.Warnings(false) > 0) report.Print(stderr, false);
}

BundleSettings ReadSettings(const fs::path& folder) {
  std::error_code ec;
  if (!fs::is_regular_file(folder / "bundle.ini", ec)) return {};
  std::vector<std::string> problems;
  BundleSettings settings = ParseBundleSettings(ReadFile(folder / "bundle.ini"), problems);
  for (const std::string& problem : problems) std::fprintf(stderr, "%s\n", problem.c_str());
  if (!problems.empty()) throw Failure{1, "bundle.ini has mistakes (above)"};
  return settings;
}

void AddLicence(const std::string& path, const fs::path& out, Contents& contents,
                std::string& package) {
  const std::optional<std::string> owner = DebianPackageOf(path);
  if (!owner) return;
  package = *owner;
  if (contents.licences.count(package) != 0) return;
  if (const std::optional<std::string> copyright = CopyrightFileOf(package)) {
    Copy(*copyright, out / "licenses" / package / "copyright");
    contents.licences[package] = "licenses/" + package + "/copyright";
  }
}

const char* HowFound(FontFile::Source source) {
  switch (source) {
    case FontFile::Source::kAsGiven:
    case FontFile::Source::kBaseDirectory: return "the game's own file";
    case FontFile::Source::kFontconfigFile: return "installed font of that file name";
    case FontFile::Source::kAlias: return "free font standing in for it";
    case FontFile::Source::kSubstitute: return "the system's Japanese sans-serif font, standing in";
  }
  return "";
}

void BundleFonts(const fs::path& folder, const fs::path& out, const BundleSettings& settings,
                 Contents& contents) {
  std::set<std::string> names = FontNamesOfArchive((out / "game" / "main.dat").string());
  names.insert(settings.fonts.begin(), settings.fonts.end());
  // Looked up as the engine will: the game's folder is its base directory.
  SetBaseDirectory(fs::absolute(folder).string() + "/");
  for (const std::string& name : names) {
    const std::string place = BundledFontPath(name);
    const std::optional<FontFile> font = FindFontFile(name);
    if (place.empty() || !font) {
      std::fprintf(stderr, "tessel-bundle: warning: no font for '%s'%s\n", name.c_str(),
                   place.empty() ? " (a name that leaves the game folder)" : "");
      continue;
    }
    const fs::path target = out / "game" / place;
    std::error_code ec;
    if (!fs::exists(target, ec)) Copy(font->path, target);
    std::string package;
    AddLicence(font->path, out, contents, package);
    contents.fonts.push_back(name + " -> game/" + place + " (" + HowFound(font->source) + ": " +
                             font->path + (package.empty() ? "" : ", package " + package) + ")");
  }
}

void BundleEngine(const fs::path& engine, const fs::path& out, Contents& contents) {
  Copy(engine, out / "bin" / "tessel");
  fs::permissions(out / "bin" / "tessel", fs::perms::owner_exec | fs::perms::group_exec |
                  fs::perms::others_exec, fs::perm_options::add);
  const ProgramResult ldd = RunProgram({"ldd", engine.string()});
  if (ldd.status != 0) throw Failure{1, "ldd could not list the libraries of " + engine.string()};
  std::vector<std::string> missing;
  for (const SharedLibrary& library : ParseLdd(ldd.out, missing)) {
    if (IsSystemLibrary(library.soname)) continue;
    Copy(library.path, out / "lib" / library.soname);
    std::string package;
    AddLicence(library.path, out, contents, package);
    contents.libraries.push_back(library.soname + (package.empty() ? "" : " (" + package + ")"));
  }
  for (const std::string& name : missing) {
    throw Failure{1, engine.string() + " needs " + name + ", which is not installed"};
  }
}

std::string ContentsText(const std::string& name, const Contents& contents) {
  std::string text = name + ": a visual novel for Linux desktops, played with Tessel.\n"
                     "Start it with ./" + name + " (no installation needed).\n\n"
                     "Fonts (copied beside the game; the player's fonts do not matter):\n";
  for (const std::string& font : contents.fonts) text += "  " + font + "\n";
  text += "\nLibraries in lib/:\n";
  for (const std::string& library : contents.libraries) text += "  " + library + "\n";
  text += "\nFrom the player's system: the C library and the GCC runtime (libstdc++,\n"
          "libgcc_s), the OpenGL driver (libGL, libGLX, libEGL, libgbm, libdrm, ...), the X\n"
          "and Wayland libraries (libX11, libxcb, ...), ALSA and PulseAudio (libasound,\n"
          "libpulse).\n\nLicences of what was copied, by Debian package:\n";
  for (const auto& [package, file] : contents.licences) text += "  " + package + ": " + file + "\n";
  return text;
}

void MakeTar(const fs::path& out) {
  const fs::path tarball = out.string() + ".tar.gz";
  const fs::path temporary = out.string() + ".tar.gz.part";
  const ProgramResult tar = RunProgram({"tar", "-czf", temporary.string(), "-C",
                                        out.parent_path().string(), out.filename().string()});
  std::error_code ec;
  if (tar.status != 0) {
    fs::remove(temporary, ec);
    throw Failure{1, "tar could not write " + tarball.string()};
  }
  fs::rename(temporary, tarball, ec);
  if (ec) throw Failure{1, tarball.string() + ": " + ec.message()};
  std::printf("Wrote %s\n", tarball.c_str());
}

void Build(const BundleOptions& options, const fs::path& folder, const fs::path& work) {
  const BundleSettings settings = ReadSettings(folder);
  std::vector<std::string> copied;
  std::string error;
  // A main.dat is bundled as it is; any other file stands for its folder.
  const fs::path game = fs::path(options.game).extension() == ".dat" ? fs::path(options.game) : folder;
  if (!PackGame(game, work / "game", copied, error)) throw Failure{1, error};
  Contents contents;
  BundleFonts(folder, work, settings, contents);
  BundleEngine(options.engine, work, contents);
  const bool has_icon = !options.icon.empty();
  if (has_icon) Copy(options.icon, work / (options.name + ".png"));
  WriteFile(work / options.name, LauncherScript(options.name, settings.power_save), true);
  WriteFile(work / (options.name + ".desktop"), DesktopEntry(options.name, has_icon), false);
  WriteFile(work / "CONTENTS.txt", ContentsText(options.name, contents), false);
}

void Prepare(BundleOptions& options) {
  std::error_code ec;
  if (!fs::exists(options.game, ec)) throw Failure{2, options.game + ": no such game"};
  while (options.out.size() > 1 && options.out.back() == '/') options.out.pop_back();
  if (options.name.empty()) options.name = fs::path(options.out).filename().string();
  if (!IsLauncherName(options.name)) {
    throw Failure{2, "'" + options.name + "' cannot name the launcher: use letters, digits, "
                     "'.', '-' and '_' (--name)"};
  }
  if (fs::exists(options.out, ec) && !fs::is_empty(options.out, ec)) {
    throw Failure{2, options.out + ": exists and is not empty; give a new folder"};
  }
  if (!options.icon.empty() && !fs::is_regular_file(options.icon, ec)) {
    throw Failure{2, options.icon + ": no such icon file"};
  }
  if (!fs::is_regular_file(options.engine, ec)) {
    throw Failure{2, "no engine to bundle at '" + options.engine + "' (--engine)"};
  }
}

}  // namespace

int MakeBundle(BundleOptions options) {
  fs::path work;
  try {
    Prepare(options);
    const fs::path folder = GameFolder(options.game);
    CheckTheGame(options.game);
    const fs::path out = fs::absolute(options.out);
    work = out.string() + ".part-" + std::to_string(getpid());
    std::error_code ec;
    fs::remove_all(work, ec);
    Build(options, folder, work);
    fs::remove(out, ec);  // an empty folder, if any
    fs::rename(work, out, ec);
    if (ec) throw Failure{1, out.string() + ": " + ec.message()};
    std::printf("Bundled %s into %s: start it with %s/%s\n", options.game.c_str(),
                options.out.c_str(), options.out.c_str(), options.name.c_str());
    if (options.tar) MakeTar(out);
    return 0;
  } catch (const Failure& failure) {
    std::error_code ec;
    if (!work.empty()) fs::remove_all(work, ec);
    std::fprintf(stderr, "tessel-bundle: %s\n", failure.message.c_str());
    return failure.status;
  } catch (const fs::filesystem_error& failure) {
    std::error_code ec;
    if (!work.empty()) fs::remove_all(work, ec);
    std::fprintf(stderr, "tessel-bundle: %s\n", failure.what());
    return 1;
  }
}

}  // namespace tessel::bundle
