#include "text/FontLookup.h"

#include <fontconfig/fontconfig.h>

#include <filesystem>
#include <map>
#include <tuple>

#include "resource/BaseDirectory.h"

namespace tessel {
namespace {

bool IsRegularFile(const std::string& path) {
  std::error_code error;
  return !path.empty() && std::filesystem::is_regular_file(path, error);
}

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  }
  return true;
}

// Family names compare without case and blanks ("IPA Gothic" is "IPAGothic").
bool SameFamily(std::string_view a, std::string_view b) {
  std::string bare_a;
  std::string bare_b;
  for (char c : a) {
    if (c != ' ') bare_a += LowerAscii(c);
  }
  for (char c : b) {
    if (c != ' ') bare_b += LowerAscii(c);
  }
  return bare_a == bare_b;
}

std::string_view LastComponent(std::string_view path) {
  const std::size_t slash = path.find_last_of("/\\");
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

// The key a name is compared by in the alias table: ASCII lower case, full-width
// ASCII ("ＭＳ") read as ASCII, without blanks (also the ideographic space),
// '-' and '_'. Other bytes are kept as they are.
std::string AliasKey(std::string_view name) {
  std::string key;
  key.reserve(name.size());
  for (std::size_t i = 0; i < name.size(); ++i) {
    const auto byte = static_cast<unsigned char>(name[i]);
    if (byte == 0xE3 && name.substr(i, 3) == "\xE3\x80\x80") {  // U+3000
      i += 2;
      continue;
    }
    if (byte == 0xEF && i + 2 < name.size()) {
      const auto b1 = static_cast<unsigned char>(name[i + 1]);
      const auto b2 = static_cast<unsigned char>(name[i + 2]);
      const int low = ((b1 & 0x3F) << 6) | (b2 & 0x3F);  // U+F000 + low
      if ((b1 == 0xBC || b1 == 0xBD) && (b2 & 0xC0) == 0x80 && low >= 0xF01 && low <= 0xF5E) {
        const char ascii = static_cast<char>(low - 0xF01 + 0x21);  // U+FF01.. -> '!'..
        i += 2;
        if (ascii != '-' && ascii != '_') key += LowerAscii(ascii);
        continue;
      }
    }
    const char c = name[i];
    if (c == ' ' || c == '\t' || c == '-' || c == '_') continue;
    key += LowerAscii(c);
  }
  return key;
}

std::string_view WithoutFontExtension(std::string_view key) {
  for (std::string_view extension : {".ttf", ".ttc", ".otf", ".otc", ".fon", ".fnt"}) {
    if (key.size() > extension.size() && key.ends_with(extension)) {
      return key.substr(0, key.size() - extension.size());
    }
  }
  return key;
}

// Families stand in for the Windows fonts that games name. The Japanese
// fonts keep their spacing: fixed-pitch ones go to a fixed-pitch family,
// proportional ones to a proportional family.
constexpr std::string_view kGothic[] = {"IPAGothic", "VL Gothic"};
constexpr std::string_view kPGothic[] = {"IPAPGothic", "VL PGothic"};
constexpr std::string_view kSans[] = {"DejaVu Sans"};
constexpr std::string_view kSerif[] = {"DejaVu Serif"};
constexpr std::string_view kMono[] = {"DejaVu Sans Mono"};

struct Alias {
  std::string_view key;  // as AliasKey makes it
  std::span<const std::string_view> families;
};

// Family names and the usual file names (without extension) of each font.
constexpr Alias kAliases[] = {
    {"msgothic", kGothic},
    {"msゴシック", kGothic},
    {"msmincho", kGothic},
    {"ms明朝", kGothic},
    {"mspgothic", kPGothic},
    {"mspゴシック", kPGothic},
    {"mspmincho", kPGothic},
    {"msp明朝", kPGothic},
    {"msuigothic", kPGothic},
    {"meiryo", kPGothic},
    {"meiryob", kPGothic},
    {"meiryoui", kPGothic},
    {"メイリオ", kPGothic},
    {"yugothic", kPGothic},
    {"yugothicui", kPGothic},
    {"yugothr", kPGothic},
    {"yugothm", kPGothic},
    {"yugothb", kPGothic},
    {"yugothl", kPGothic},
    {"游ゴシック", kPGothic},
    {"arial", kSans},
    {"arialbd", kSans},
    {"ariali", kSans},
    {"arialbi", kSans},
    {"tahoma", kSans},
    {"tahomabd", kSans},
    {"verdana", kSans},
    {"verdanab", kSans},
    {"verdanai", kSans},
    {"verdanaz", kSans},
    {"segoeui", kSans},
    {"segoeuib", kSans},
    {"segoeuii", kSans},
    {"segoeuiz", kSans},
    {"segoeuil", kSans},
    {"times", kSerif},
    {"timesbd", kSerif},
    {"timesi", kSerif},
    {"timesbi", kSerif},
    {"timesnewroman", kSerif},
    {"cour", kMono},
    {"courbd", kMono},
    {"couri", kMono},
    {"courbi", kMono},
    {"courier", kMono},
    {"couriernew", kMono},
    {"consola", kMono},
    {"consolab", kMono},
    {"consolai", kMono},
    {"consolaz", kMono},
    {"consolas", kMono},
    {"lucon", kMono},
    {"lucidaconsole", kMono},
};

// Loads fontconfig's configuration and caches when they are not loaded.
bool FontconfigReady() { return FcInit() == FcTrue; }

const FcChar8* AsFc(const std::string& text) { return reinterpret_cast<const FcChar8*>(text.c_str()); }
std::string_view FromFc(const FcChar8* text) { return reinterpret_cast<const char*>(text); }

// The file and face index of a matched pattern, when the file is there.
std::optional<FontFile> FileOf(FcPattern* font) {
  FcChar8* file = nullptr;
  if (FcPatternGetString(font, FC_FILE, 0, &file) != FcResultMatch) return std::nullopt;
  FontFile found;
  found.path = std::string(FromFc(file));
  int index = 0;
  if (FcPatternGetInteger(font, FC_INDEX, 0, &index) == FcResultMatch) found.index = index;
  if (!IsRegularFile(found.path)) return std::nullopt;
  return found;
}

// fontconfig's best match for a pattern after the usual substitutions.
FcPattern* BestMatch(FcPattern* pattern) {
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  return FcFontMatch(nullptr, pattern, &result);
}

std::optional<FontFile> IfRegular(std::string path, FontFile::Source source) {
  if (!IsRegularFile(path)) return std::nullopt;
  return FontFile{std::move(path), 0, source, {}};
}

// Steps 5 to 7 of FindFontFile. fontconfig's configuration and caches take
// several hundred KiB and a game needs them for a few font names at most, so
// they are loaded for a lookup and let go after it; each name's answer is
// kept, so asking again costs nothing.
std::optional<FontFile> InstalledFont(const std::string& name) {
  static auto& answers = *new std::map<std::string, std::optional<FontFile>>;
  if (auto known = answers.find(name); known != answers.end()) return known->second;
  std::optional<FontFile> found = FontconfigFileNamed(LastComponent(name));
  if (!found) found = FindAlias(name, FontconfigFamily);
  if (!found) found = FontconfigJapaneseSans();
  FcFini();
  answers.emplace(name, found);
  return found;
}

}  // namespace

std::string_view WindowsFileName(std::string_view name) {
  const bool drive = name.size() >= 3 &&
                     ((name[0] >= 'A' && name[0] <= 'Z') || (name[0] >= 'a' && name[0] <= 'z')) &&
                     name[1] == ':' && (name[2] == '\\' || name[2] == '/');
  const bool unc = name.starts_with("\\\\");
  if (!drive && !unc) return {};
  return LastComponent(name);
}

std::span<const std::string_view> AliasFamilies(std::string_view name) {
  const std::string key = AliasKey(LastComponent(name));
  const std::string_view stem = WithoutFontExtension(key);
  for (const Alias& alias : kAliases) {
    if (alias.key == key || alias.key == stem) return alias.families;
  }
  return {};
}

std::optional<FontFile> FindAlias(std::string_view name, const FamilyFinder& find) {
  for (std::string_view family : AliasFamilies(name)) {
    if (std::optional<FontFile> found = find(family)) {
      found->source = FontFile::Source::kAlias;
      found->family = std::string(family);
      return found;
    }
  }
  return std::nullopt;
}

std::optional<FontFile> FontconfigFileNamed(std::string_view file_name) {
  if (file_name.empty() || !FontconfigReady()) return std::nullopt;
  FcPattern* pattern = FcPatternCreate();
  FcObjectSet* objects = FcObjectSetBuild(FC_FILE, FC_INDEX, nullptr);
  FcFontSet* fonts = FcFontList(nullptr, pattern, objects);
  std::optional<FontFile> best;
  for (int i = 0; fonts != nullptr && i < fonts->nfont; ++i) {
    std::optional<FontFile> font = FileOf(fonts->fonts[i]);
    if (!font || !EqualIgnoringAsciiCase(LastComponent(font->path), file_name)) continue;
    // The first face of the file; the same name in two folders: the first path.
    if (!best || std::tie(font->index, font->path) < std::tie(best->index, best->path)) {
      best = std::move(font);
    }
  }
  if (fonts != nullptr) FcFontSetDestroy(fonts);
  FcObjectSetDestroy(objects);
  FcPatternDestroy(pattern);
  if (best) best->source = FontFile::Source::kFontconfigFile;
  return best;
}

std::optional<FontFile> FontconfigFamily(std::string_view family) {
  if (family.empty() || !FontconfigReady()) return std::nullopt;
  const std::string wanted(family);
  FcPattern* pattern = FcPatternCreate();
  FcPatternAddString(pattern, FC_FAMILY, AsFc(wanted));
  FcPattern* match = BestMatch(pattern);
  FcPatternDestroy(pattern);
  if (match == nullptr) return std::nullopt;
  // fontconfig always answers with something; only the family itself counts.
  bool same_family = false;
  FcChar8* name = nullptr;
  for (int i = 0; !same_family && FcPatternGetString(match, FC_FAMILY, i, &name) == FcResultMatch;
       ++i) {
    same_family = SameFamily(FromFc(name), wanted);
  }
  std::optional<FontFile> found = same_family ? FileOf(match) : std::nullopt;
  FcPatternDestroy(match);
  return found;
}

std::optional<FontFile> FontconfigJapaneseSans() {
  if (!FontconfigReady()) return std::nullopt;
  FcPattern* pattern = FcPatternCreate();
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>("sans-serif"));
  FcPatternAddString(pattern, FC_LANG, reinterpret_cast<const FcChar8*>("ja"));
  FcPattern* match = BestMatch(pattern);
  FcPatternDestroy(pattern);
  if (match == nullptr) return std::nullopt;
  std::optional<FontFile> found = FileOf(match);
  FcChar8* family = nullptr;
  if (found && FcPatternGetString(match, FC_FAMILY, 0, &family) == FcResultMatch) {
    found->family = std::string(FromFc(family));
  }
  FcPatternDestroy(match);
  if (found) found->source = FontFile::Source::kSubstitute;
  return found;
}

std::optional<FontFile> FindFontFile(std::string_view name) {
  if (name.empty()) return std::nullopt;
  const std::string& base = BaseDirectory();
  const std::string given(name);
  std::string slashed = given;
  for (char& c : slashed) {
    if (c == '\\') c = '/';
  }

  using Source = FontFile::Source;
  // Each name in the working directory, then in the base directory.
  const std::string windows_file(WindowsFileName(given));
  for (const std::string& candidate : {given, slashed, windows_file}) {
    if (candidate.empty()) continue;
    if (auto found = IfRegular(candidate, Source::kAsGiven)) return found;
    if (auto found = IfRegular(base + candidate, Source::kBaseDirectory)) return found;
  }
  return InstalledFont(given);
}

}  // namespace tessel
