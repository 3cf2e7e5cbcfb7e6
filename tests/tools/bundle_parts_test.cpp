#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "bundle/BundleSettings.h"
#include "bundle/GameFonts.h"
#include "bundle/Launcher.h"
#include "bundle/SharedLibraries.h"

namespace tessel::bundle {
namespace {

TEST(BundleLibraries, LddClosureKeepsFoundLibrariesAndTheSystemOnesStayOut) {
  const std::string ldd =
      "\tlinux-vdso.so.1 (0x00007ffd)\n"
      "\tlibSDL-1.2.so.0 => /lib/x86_64-linux-gnu/libSDL-1.2.so.0 (0x00007f3c)\n"
      "\tlibGLU.so.1 => /lib/x86_64-linux-gnu/libGLU.so.1 (0x00007f3c)\n"
      "\tlibGLX.so.0 => /lib/x86_64-linux-gnu/libGLX.so.0 (0x00007f3c)\n"
      "\tlibmissing.so.2 => not found\n"
      "\tlibstdc++.so.6 => /lib/x86_64-linux-gnu/libstdc++.so.6 (0x00007f3c)\n"
      "\t/lib64/ld-linux-x86-64.so.2 (0x00007f3c)\n";
  std::vector<std::string> missing;
  const std::vector<SharedLibrary> found = ParseLdd(ldd, missing);
  ASSERT_EQ(found.size(), 4u);
  EXPECT_EQ(found[0].soname, "libSDL-1.2.so.0");
  EXPECT_EQ(found[0].path, "/lib/x86_64-linux-gnu/libSDL-1.2.so.0");
  EXPECT_EQ(missing, std::vector<std::string>{"libmissing.so.2"});

  for (const char* system : {"libc.so.6", "libm.so.6", "ld-linux-x86-64.so.2", "libGLX.so.0",
                             "libGL.so.1", "libGLdispatch.so.0", "libOpenGL.so.0", "libX11.so.6",
                             "libXext.so.6", "libxcb.so.1", "libdrm.so.2", "libasound.so.2",
                             "libpulse.so.0", "libstdc++.so.6", "libgcc_s.so.1"}) {
    EXPECT_TRUE(IsSystemLibrary(system)) << system;
  }
  for (const char* bundled : {"libSDL-1.2.so.0", "libSDL2-2.0.so.0", "libGLU.so.1",
                              "liblua5.1.so.0", "libfreetype.so.6", "libz.so.1", "libpng16.so.16",
                              "libjack.so.0"}) {
    EXPECT_FALSE(IsSystemLibrary(bundled)) << bundled;
  }
}

TEST(BundleFonts, NamesComeFromLiteralsAndFontCallsAndLandInsideTheGame) {
  std::set<std::string> names;
  CollectFontNames(
      "local f = Font(\"MS Gothic\", 20)\n"
      "Stage.OpenWindow('VL-PGothic-Regular.ttf', 22)\n"
      "-- CreateNewFont(\"commented.ttf\")\n"
      "title = \"A title, not a font\"\n"
      "x = \"C:\\\\Windows\\\\Fonts\\\\msgothic.TTC\"\n",
      "Font", names);
  EXPECT_EQ(names, (std::set<std::string>{"MS Gothic", "VL-PGothic-Regular.ttf",
                                          "C:\\Windows\\Fonts\\msgothic.TTC"}));

  EXPECT_EQ(BundledFontPath("fonts\\main.ttf"), "fonts/main.ttf");
  EXPECT_EQ(BundledFontPath("/usr/share/fonts/a.ttf"), "usr/share/fonts/a.ttf");
  EXPECT_EQ(BundledFontPath("C:\\Windows\\Fonts\\msgothic.ttc"), "msgothic.ttc");
  EXPECT_EQ(BundledFontPath("MS Gothic"), "MS Gothic");
  EXPECT_EQ(BundledFontPath("../outside.ttf"), "");
  EXPECT_EQ(BundledFontPath("a//./b.ttf"), "a/b.ttf");

  EXPECT_EQ(ScenarioTextAsUtf8(std::string("\xFF\xFE" "a\0{\0", 6)), "a{");
  EXPECT_EQ(ScenarioTextAsUtf8("\xEF\xBB\xBFtext"), "text");
}

TEST(BundleSettingsFile, PowerSaveAndFontsAreReadAndMistakesNamedByLine) {
  std::vector<std::string> problems;
  BundleSettings settings =
      ParseBundleSettings("# how to bundle\npower_save = No\nfonts = a.ttf, MS Gothic ,\n", problems);
  EXPECT_TRUE(problems.empty());
  EXPECT_FALSE(settings.power_save);
  EXPECT_EQ(settings.fonts, (std::vector<std::string>{"a.ttf", "MS Gothic"}));

  settings = ParseBundleSettings("power_save = maybe\ncolour = red\njust words\n", problems);
  EXPECT_TRUE(settings.power_save);
  ASSERT_EQ(problems.size(), 3u);
  EXPECT_EQ(problems[0].rfind("bundle.ini:1: power_save takes yes or no", 0), 0u);
  EXPECT_EQ(problems[1].rfind("bundle.ini:2: unknown key 'colour'", 0), 0u);
  EXPECT_EQ(problems[2].rfind("bundle.ini:3: expected 'key = value'", 0), 0u);
}

TEST(BundleLauncher, PassesArgumentsAndPowerSaveOnlyWhenWanted) {
  const std::string on = LauncherScript("mygame", true);
  EXPECT_NE(on.find("exec \"$here/bin/tessel\" --power-save \"$@\" \"$here/game/\"\n"),
            std::string::npos);
  EXPECT_NE(on.find("LD_LIBRARY_PATH=\"$here/lib"), std::string::npos);
  EXPECT_EQ(LauncherScript("mygame", false).find("--power-save"), std::string::npos);
  EXPECT_NE(DesktopEntry("mygame", true).find("Icon=mygame.png\n"), std::string::npos);
  EXPECT_EQ(DesktopEntry("mygame", false).find("Icon="), std::string::npos);
  EXPECT_TRUE(IsLauncherName("my-game_2.0"));
  for (const char* bad : {"", "-x", ".hidden", "two words", "a/b", "$(x)"}) {
    EXPECT_FALSE(IsLauncherName(bad)) << bad;
  }
}

}  // namespace
}  // namespace tessel::bundle
