#include "bundle/BundleSettings.h"

#include <string_view>

#include "bundle/Text.h"

namespace tessel::bundle {

BundleSettings ParseBundleSettings(const std::string& text, std::vector<std::string>& problems) {
  BundleSettings settings;
  std::string_view rest = text;
  if (rest.starts_with("\xEF\xBB\xBF")) rest.remove_prefix(3);
  int number = 0;
  while (!rest.empty()) {
    ++number;
    const std::size_t end = rest.find('\n');
    const std::string line(Trim(rest.substr(0, end)));
    rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
    if (line.empty() || line.front() == '#' || line.front() == ';') continue;
    const std::string where = "bundle.ini:" + std::to_string(number) + ": ";
    const std::size_t equals = line.find('=');
    if (equals == std::string::npos) {
      problems.push_back(where + "expected 'key = value', not '" + line + "'");
      continue;
    }
    const std::string key = Lower(Trim(std::string_view(line).substr(0, equals)));
    const std::string value(Trim(std::string_view(line).substr(equals + 1)));
    if (key == "power_save") {
      const std::string flag = Lower(value);
      if (flag == "yes" || flag == "true" || flag == "on" || flag == "1") {
        settings.power_save = true;
      } else if (flag == "no" || flag == "false" || flag == "off" || flag == "0") {
        settings.power_save = false;
      } else {
        problems.push_back(where + "power_save takes yes or no, not '" + value + "'");
      }
    } else if (key == "fonts") {
      std::string_view names = value;
      while (!names.empty()) {
        const std::size_t comma = names.find(',');
        const std::string name(Trim(names.substr(0, comma)));
        if (!name.empty()) settings.fonts.push_back(name);
        names.remove_prefix(comma == std::string_view::npos ? names.size() : comma + 1);
      }
    } else {
      problems.push_back(where + "unknown key '" + key + "' (power_save, fonts)");
    }
  }
  return settings;
}

}  // namespace tessel::bundle
