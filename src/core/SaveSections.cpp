#include "core/SaveSections.h"

#include <algorithm>
#include <vector>

namespace tessel {
namespace {

std::vector<SaveSection>& Sections() {
  static std::vector<SaveSection> sections;
  return sections;
}

}  // namespace

void RegisterSaveSection(SaveSection section) {
  auto& sections = Sections();
  auto same = std::find_if(sections.begin(), sections.end(),
                           [&](const SaveSection& s) { return s.tag == section.tag; });
  if (same != sections.end()) {
    *same = std::move(section);
  } else {
    sections.push_back(std::move(section));
  }
  std::stable_sort(sections.begin(), sections.end(), [](const SaveSection& a, const SaveSection& b) {
    return a.order != b.order ? a.order < b.order : a.tag < b.tag;
  });
}

std::span<const SaveSection> SaveSections() { return Sections(); }

}  // namespace tessel
