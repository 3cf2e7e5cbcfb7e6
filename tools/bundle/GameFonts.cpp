#include "bundle/GameFonts.h"

#include <SDL_rwops.h>

#include <memory>
#include <vector>

#include "resource/Archive.h"
#include "script/FunctionNameList.h"
#include "text/Encoding.h"
#include "text/FontLookup.h"

namespace tessel::bundle {
namespace {

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool EndsLikeFontFile(std::string_view name) {
  std::string lower;
  for (char c : name.substr(name.size() > 4 ? name.size() - 4 : 0)) lower += LowerAscii(c);
  return lower == ".ttf" || lower == ".ttc" || lower == ".otf" || lower == ".otc";
}

bool IsNameCharacter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

// The string literal that starts at `at` (a quote); `at` ends after it.
std::string ReadLiteral(std::string_view text, std::size_t& at) {
  const char quote = text[at++];
  std::string value;
  while (at < text.size() && text[at] != quote && text[at] != '\n') {
    if (text[at] == '\\' && at + 1 < text.size()) {
      const char escaped = text[++at];
      value += escaped == '\\' ? '\\' : escaped == 'n' ? '\n' : escaped;
    } else {
      value += text[at];
    }
    ++at;
  }
  ++at;
  return value;
}

// Whether `create_font` ( opens just before `at`, skipping blanks.
bool FollowsCall(std::string_view text, std::size_t at, std::string_view create_font) {
  while (at > 0 && (text[at - 1] == ' ' || text[at - 1] == '\t')) --at;
  if (at == 0 || text[at - 1] != '(') return false;
  --at;
  while (at > 0 && (text[at - 1] == ' ' || text[at - 1] == '\t')) --at;
  if (create_font.empty() || at < create_font.size()) return false;
  const std::size_t start = at - create_font.size();
  return text.substr(start, create_font.size()) == create_font &&
         (start == 0 || !IsNameCharacter(text[start - 1]));
}

std::string ReadEntry(const Archive& archive, const ArchiveEntry& entry) {
  std::string bytes;
  SDL_RWops* stream = archive.OpenStream(entry);
  if (stream == nullptr) return bytes;
  bytes.resize(entry.length);
  const std::size_t got = entry.length == 0 ? 0 : SDL_RWread(stream, bytes.data(), 1, entry.length);
  bytes.resize(got);
  SDL_RWclose(stream);
  return bytes;
}

bool HasExtension(std::string_view name, std::string_view extension) {
  if (name.size() < extension.size()) return false;
  for (std::size_t i = 0; i < extension.size(); ++i) {
    if (LowerAscii(name[name.size() - extension.size() + i]) != extension[i]) return false;
  }
  return true;
}

}  // namespace

void CollectFontNames(std::string_view script, std::string_view create_font,
                      std::set<std::string>& names) {
  std::size_t at = 0;
  while (at < script.size()) {
    const char c = script[at];
    if (c == '-' && script.substr(at, 2) == "--") {  // a Lua comment: to the line end
      at = script.find('\n', at);
      if (at == std::string_view::npos) break;
      continue;
    }
    if (c != '"' && c != '\'') {
      ++at;
      continue;
    }
    const bool after_call = FollowsCall(script, at, create_font);
    std::string literal = ReadLiteral(script, at);
    if (!literal.empty() && (after_call || EndsLikeFontFile(literal))) names.insert(literal);
  }
}

std::string ScenarioTextAsUtf8(std::string_view bytes) {
  if (bytes.starts_with("\xEF\xBB\xBF")) return std::string(bytes.substr(3));
  const bool little = bytes.starts_with("\xFF\xFE");
  if (!little && !bytes.starts_with("\xFE\xFF")) return std::string(bytes);
  std::u16string units;
  for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
    const auto first = static_cast<unsigned char>(bytes[i]);
    const auto second = static_cast<unsigned char>(bytes[i + 1]);
    units += static_cast<char16_t>(little ? first | (second << 8) : (first << 8) | second);
  }
  return EncodeUtf8(units);
}

std::set<std::string> FontNamesOfArchive(const std::string& archive_path) {
  std::set<std::string> names;
  Archive archive(archive_path);
  if (!archive.IsOpen()) return names;
  std::string create_font = "CreateNewFont";
  if (const ArchiveEntry* list = archive.Find("funcdef.tsl")) {
    FunctionNameList function_names(ReadEntry(archive, *list));
    function_names.Load();
    const std::string renamed = function_names.Lookup("CreateNewFont");
    if (!renamed.empty()) create_font = renamed;
  }
  for (const ArchiveEntry& entry : archive.Entries()) {
    if (entry.name == "funcdef.tsl") continue;
    if (HasExtension(entry.name, ".lua")) {
      CollectFontNames(ReadEntry(archive, entry), create_font, names);
    } else if (HasExtension(entry.name, ".tsl")) {
      CollectFontNames(ScenarioTextAsUtf8(ReadEntry(archive, entry)), create_font, names);
    }
  }
  return names;
}

std::string BundledFontPath(std::string_view name) {
  std::string slashed(WindowsFileName(name).empty() ? name : WindowsFileName(name));
  for (char& c : slashed) {
    if (c == '\\') c = '/';
  }
  // Empty and "." parts name the same place; ".." would leave the folder.
  std::string path;
  std::size_t start = 0;
  while (start < slashed.size()) {
    std::size_t end = slashed.find('/', start);
    if (end == std::string::npos) end = slashed.size();
    const std::string_view part = std::string_view(slashed).substr(start, end - start);
    if (part == "..") return {};
    if (!part.empty() && part != ".") path += (path.empty() ? "" : "/") + std::string(part);
    start = end + 1;
  }
  return path;
}

}  // namespace tessel::bundle
