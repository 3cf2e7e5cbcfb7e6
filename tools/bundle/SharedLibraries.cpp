#include "bundle/SharedLibraries.h"

#include <filesystem>

#include "bundle/Process.h"
#include "bundle/Text.h"

namespace tessel::bundle {
namespace {

// The soname's stem before ".so": "libGLX_mesa.so.0" -> "libGLX_mesa".
std::string_view Stem(std::string_view soname) {
  const std::size_t so = soname.find(".so");
  return so == std::string_view::npos ? soname : soname.substr(0, so);
}

std::optional<std::string> PackageOwning(const std::string& path) {
  const ProgramResult result = RunProgram({"dpkg-query", "-S", path});
  if (result.status != 0) return std::nullopt;
  // "libsdl1.2-compat:amd64: /usr/lib/x86_64-linux-gnu/libSDL-1.2.so.0"
  const std::string_view line = std::string_view(result.out).substr(0, result.out.find('\n'));
  const std::size_t colon_space = line.find(": ");
  if (colon_space == std::string_view::npos || line.find(", ") < colon_space) return std::nullopt;
  std::string_view package = line.substr(0, colon_space);
  package = package.substr(0, package.find(':'));
  if (package.empty() || package.starts_with("diversion by")) return std::nullopt;
  return std::string(package);
}

}  // namespace

std::vector<SharedLibrary> ParseLdd(std::string_view output, std::vector<std::string>& missing) {
  std::vector<SharedLibrary> libraries;
  while (!output.empty()) {
    const std::size_t end = output.find('\n');
    const std::string_view line = Trim(output.substr(0, end));
    output.remove_prefix(end == std::string_view::npos ? output.size() : end + 1);
    // "libz.so.1 => /lib/x86_64-linux-gnu/libz.so.1 (0x...)", "libq.so => not found",
    // "/lib64/ld-linux-x86-64.so.2 (0x...)", "linux-vdso.so.1 (0x...)".
    const std::size_t arrow = line.find(" => ");
    if (arrow == std::string_view::npos) continue;
    const std::string_view soname = Trim(line.substr(0, arrow));
    std::string_view target = Trim(line.substr(arrow + 4));
    if (target.starts_with("not found")) {
      missing.emplace_back(soname);
      continue;
    }
    const std::size_t address = target.rfind(" (0x");
    if (address != std::string_view::npos) target = Trim(target.substr(0, address));
    if (soname.empty() || target.empty() || target.front() != '/') continue;
    libraries.push_back({std::string(soname), std::string(target)});
  }
  return libraries;
}

bool IsSystemLibrary(std::string_view soname) {
  const std::string_view stem = Stem(soname);
  if (stem == "libGLU") return false;  // GLU is no part of the driver: bundled
  static constexpr std::string_view kExact[] = {
      // the C library and the GCC runtime
      "libc", "libm", "libpthread", "libdl", "librt", "libresolv", "libutil", "libmvec",
      "libstdc++", "libgcc_s", "linux-vdso", "linux-gate",
      // the OpenGL driver stack
      "libOpenGL", "libGLdispatch", "libgbm", "libglapi", "libxshmfence",
      // sound servers' clients
      "libasound", "libpulse", "libpulse-simple", "libpulse-mainloop-glib",
  };
  for (std::string_view name : kExact) {
    if (stem == name) return true;
  }
  static constexpr std::string_view kPrefixes[] = {
      "ld-linux", "libGL", "libEGL", "libdrm",           // loader, OpenGL, DRM
      "libX", "libxcb", "libxkbcommon", "libwayland-",  // X and Wayland
      "libdecor", "libpulsecommon",
  };
  for (std::string_view prefix : kPrefixes) {
    if (stem.starts_with(prefix)) return true;
  }
  return false;
}

std::optional<std::string> DebianPackageOf(const std::string& path) {
  // dpkg knows the path a package shipped, which may differ from what the
  // loader found by a symbolic link or the merged /usr.
  std::vector<std::string> candidates = {path};
  std::error_code error;
  const std::filesystem::path real = std::filesystem::canonical(path, error);
  if (!error) candidates.push_back(real.string());
  for (const std::string& candidate : std::vector<std::string>(candidates)) {
    if (candidate.starts_with("/usr/")) {
      candidates.push_back(candidate.substr(4));
    } else {
      candidates.push_back("/usr" + candidate);
    }
  }
  for (const std::string& candidate : candidates) {
    if (auto package = PackageOwning(candidate)) return package;
  }
  return std::nullopt;
}

std::optional<std::string> CopyrightFileOf(const std::string& package) {
  const std::string path = "/usr/share/doc/" + package + "/copyright";
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) return std::nullopt;
  return path;
}

}  // namespace tessel::bundle
