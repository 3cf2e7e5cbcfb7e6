#include "resource/DiskPath.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <vector>

namespace tessel {
namespace {

bool IsDirectory(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  }
  return true;
}

// Names in `directory` equal to `part` ignoring case, bytewise smallest first.
std::vector<std::string> MatchingNames(const std::string& directory, std::string_view part) {
  std::vector<std::string> names;
  DIR* dir = ::opendir(directory.empty() ? "." : directory.c_str());
  if (dir == nullptr) return names;
  while (dirent* entry = ::readdir(dir)) {
    std::string_view name(entry->d_name);
    if (name == "." || name == "..") continue;
    if (EqualsIgnoringAsciiCase(name, part)) names.emplace_back(name);
  }
  ::closedir(dir);
  std::sort(names.begin(), names.end());  // std::string orders bytes as unsigned
  return names;
}

// Depth-first over the case variants, smallest first: the first regular file
// reached is the bytewise smallest path among all that match.
std::optional<std::string> Walk(const std::string& prefix, const std::vector<std::string_view>& parts,
                                std::size_t index) {
  const bool last = index + 1 == parts.size();
  std::string_view part = parts[index];
  std::vector<std::string> candidates;
  if (part == "..") {
    candidates.emplace_back(part);  // no case to fold; taken literally
  } else {
    candidates = MatchingNames(prefix, part);
  }
  for (const std::string& candidate : candidates) {
    std::string path = prefix + candidate;
    if (last) {
      if (IsRegularFile(path)) return path;
    } else if (IsDirectory(path)) {
      if (auto found = Walk(path + '/', parts, index + 1)) return found;
    }
  }
  return std::nullopt;
}

std::optional<std::string> ResolveIgnoringCase(std::string_view base, std::string_view name) {
  std::string rest(name);
  std::replace(rest.begin(), rest.end(), '\\', '/');
  if (rest.empty() || rest.back() == '/') return std::nullopt;  // names a folder
  std::string_view tail = std::string_view(rest).substr(rest.rfind('/') + 1);
  if (tail == "." || tail == "..") return std::nullopt;

  // The base's directory part is taken as it is; whatever follows its last '/'
  // joins the name, since names are appended to the base without a separator.
  std::size_t cut = base.rfind('/');
  std::string prefix(base.substr(0, cut == std::string_view::npos ? 0 : cut + 1));
  rest = std::string(base.substr(prefix.size())) + rest;
  if (prefix.empty() && rest.front() == '/') prefix.push_back('/');  // an absolute name

  std::vector<std::string_view> parts;
  std::string_view remaining(rest);
  while (!remaining.empty()) {
    std::size_t slash = remaining.find('/');
    std::string_view part = remaining.substr(0, slash);
    if (!part.empty() && part != ".") parts.push_back(part);
    if (slash == std::string_view::npos) break;
    remaining.remove_prefix(slash + 1);
  }
  if (parts.empty()) return std::nullopt;
  return Walk(prefix, parts, 0);
}

}  // namespace

bool IsRegularFile(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::optional<std::string> ResolveDiskPath(std::string_view base, std::string_view name) {
  if (name.find('\0') != std::string_view::npos || base.find('\0') != std::string_view::npos) {
    return std::nullopt;
  }
  std::string exact = std::string(base) + std::string(name);
  if (IsRegularFile(exact)) return exact;
  return ResolveIgnoringCase(base, name);
}

std::string FoldedName(std::string_view name) {
  std::string folded(name);
  for (char& c : folded) c = c == '\\' ? '/' : LowerAscii(c);
  return folded;
}

}  // namespace tessel
