#pragma once

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace tessel {

// Where a font file was found, and how.
struct FontFile {
  enum class Source {
    kAsGiven,          // the name (backslashes read as '/') from the working directory
    kBaseDirectory,    // the base directory followed by the name
    kFontconfigFile,   // an installed font with that file name, ignoring case
    kAlias,            // a free font standing in for a Windows font
    kSubstitute,       // the system's best Japanese sans-serif font, for anything else
  };

  std::string path;
  int index = 0;  // face index in a font collection (.ttc)
  Source source = Source::kAsGiven;
  // The family that stands in (kAlias, kSubstitute); empty otherwise.
  std::string family;
};

// Games name fonts as Windows does: a file of the Windows fonts folder, a path
// with backslashes, a drive-letter path into that folder, or a family name.
// None of those exist here, so a name is looked up in this order:
//   1. the name as given, relative to the working directory;
//   2. the base directory followed by the name;
//   3. both again with backslashes read as '/';
//   4. a Windows absolute path (C:\..., \\server\...) reduced to its file
//      name, in the working and the base directory;
//   5. an installed font (fontconfig) whose file name is the name's, ignoring case;
//   6. a free font for a Windows font the name designates (AliasFamilies);
//   7. fontconfig's best match for Japanese sans-serif text.
// Only regular files count. Nothing when no font is installed at all, or when
// the name is empty. Fonts are never read from archives.
std::optional<FontFile> FindFontFile(std::string_view name);

// The steps as separate pieces, for the tests.

// The file name of a Windows absolute path ("C:\Windows\Fonts\msgothic.ttc" ->
// "msgothic.ttc"); empty when the name is not one.
std::string_view WindowsFileName(std::string_view name);

// The families that stand in for the Windows font the name designates, in
// order of preference; empty when it designates none. The name may be a
// family ("MS Gothic", "ＭＳ ゴシック") or one of its usual file names
// ("msgothic.ttc", "arial.ttf"), with any directory in front; case, blanks,
// '-' and '_' do not matter.
std::span<const std::string_view> AliasFamilies(std::string_view name);

// The installed file of a family (its regular face), or nothing when no
// installed font has that family.
using FamilyFinder = std::function<std::optional<FontFile>(std::string_view family)>;

// Step 6 with the families found by `find` (fontconfig in FindFontFile).
std::optional<FontFile> FindAlias(std::string_view name, const FamilyFinder& find);

// fontconfig's answers.
std::optional<FontFile> FontconfigFileNamed(std::string_view file_name);
std::optional<FontFile> FontconfigFamily(std::string_view family);
std::optional<FontFile> FontconfigJapaneseSans();

}  // namespace tessel
