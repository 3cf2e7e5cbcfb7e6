#include "bundle/Launcher.h"

namespace tessel::bundle {

std::string LauncherScript(const std::string& name, bool power_save) {
  std::string script =
      "#!/bin/sh\n"
      "# Starts " + name + " with the engine, libraries and fonts of this folder;\n"
      "# arguments are passed on to the engine (try --help).\n"
      "here=$(cd \"$(dirname \"$0\")\" && pwd -P) || exit 1\n"
      "LD_LIBRARY_PATH=\"$here/lib${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}\"\n"
      "export LD_LIBRARY_PATH\n"
      "\n"
      "# The desktop entry needs absolute paths: point it here, when the folder\n"
      "# can be written and its path can be written into the entry as it is.\n"
      "desktop=\"$here/" + name + ".desktop\"\n"
      "case $here in\n"
      "  *[!A-Za-z0-9/._+,:@~-]*) ;;\n"
      "  *)\n"
      "    if [ -f \"$desktop\" ] && [ -w \"$here\" ] &&\n"
      "       ! grep -qxF \"Exec=$here/" + name + "\" \"$desktop\"; then\n"
      "      sed -e \"s|^Exec=.*|Exec=$here/" + name + "|\" \\\n"
      "          -e \"s|^Icon=.*|Icon=$here/" + name + ".png|\" \\\n"
      "          -e \"s|^Path=.*|Path=$here|\" \"$desktop\" > \"$desktop.tmp\" &&\n"
      "        mv -f \"$desktop.tmp\" \"$desktop\"\n"
      "    fi ;;\n"
      "esac\n"
      "\n";
  script += std::string("exec \"$here/bin/tessel\" ") + (power_save ? "--power-save " : "") +
            "\"$@\" \"$here/game/\"\n";
  return script;
}

std::string DesktopEntry(const std::string& name, bool has_icon) {
  std::string entry =
      "[Desktop Entry]\n"
      "Type=Application\n"
      "Name=" + name + "\n"
      "Comment=A visual novel\n"
      "Exec=./" + name + "\n"
      "Path=.\n";
  if (has_icon) entry += "Icon=" + name + ".png\n";
  entry += "Terminal=false\nCategories=Game;AdventureGame;\n";
  return entry;
}

bool IsLauncherName(const std::string& name) {
  if (name.empty() || name.front() == '.' || name.front() == '-' || name.size() > 100) return false;
  for (char c : name) {
    const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                       c == '.' || c == '-' || c == '_';
    if (!plain) return false;
  }
  return true;
}

}  // namespace tessel::bundle
