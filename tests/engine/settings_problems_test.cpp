// SPDX-License-Identifier: GPL-3.0-or-later
// Unusable values in dat/set.ini fall back to the defaults and are named.
#include <gtest/gtest.h>

#include "engine/quadrellemp.h"
#include "tests/engine/cast_fixture.h"

namespace qd {
namespace {

using testing_support::AppFolder;
using testing_support::PanelRequest;

TEST(SettingsProblems, UnusableKeysTakeTheirDefaultsAndAreNamed) {
    AppFolder app("settings_problems");
    CQuadrellemp engine;
    engine.SetApplicationFolder(app.Folder());
    app.WriteSettings("idate=300\r\nleftpos=abc\r\niYueJiang=0\r\niGui=256\r\niWang=1\r\n");
    std::vector<TSettingsProblem> problems;
    const TCastSettings s = engine.ReadSettings(&problems);
    EXPECT_EQ(s.idate, 0);  // not 300 mod 256
    EXPECT_EQ(s.leftpos, 0);
    EXPECT_EQ(s.iYueJiang, 0);
    EXPECT_EQ(s.iGui, 0);  // not 256 mod 256 by chance
    EXPECT_EQ(s.iWang, 1);
    EXPECT_EQ(problems,
              (std::vector<TSettingsProblem>{{"idate", "300"}, {"leftpos", "abc"}, {"iGui", "256"}}));

    // A cast keeps them for the window; a good file clears them.
    EXPECT_TRUE(engine.SettingsProblems().empty());
    ASSERT_TRUE(engine.Cast(PanelRequest(2004, 1, 26, 15, 30)));
    EXPECT_EQ(engine.SettingsProblems(), problems);
    app.WriteSettings("leftpos=500\r\n");
    ASSERT_TRUE(engine.Cast(PanelRequest(2004, 1, 26, 15, 30)));
    EXPECT_TRUE(engine.SettingsProblems().empty());
    EXPECT_EQ(engine.State().settings.leftpos, 500);
}

}  // namespace
}  // namespace qd
