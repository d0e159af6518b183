#include <gtest/gtest.h>

#include <string>

#include "app/display.h"
#include "app/screenflow.h"
#include "app/shell.h"
#include "aztec/catalogue.h"
#include "aztec/levelrun.h"
#include "screens/story.h"
#include "storage/players.h"
#include "storage/settings.h"
#include "support/headless.h"
#include "texts/fonts.h"
#include "effects/textpop.h"
#include "texts/texttables.h"
#include "ui/buttons.h"
#include "ui/menu.h"
#include "ui/popups.h"

namespace {
class Story : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        headless();
        loadmaingraphics();
    }

    void SetUp() override {
        userpath = temp_folder("story");
        curplayer = 1;
        paused = -1;
        popupkind = popupfade = 0;
        mhit1 = 0;
        mouseactive = 1;
    }

    // Enters a chapter through the screen flow and waits for the fade-in to finish.
    static void enter(int chapter) {
        fadestate = 1;
        gotoscreen(screen_story, chapter);
        harness_frames(17 + 16);
    }

    static void clickmenu() { harness_click(140, virth - 40); }
    static void clickcontinue() { harness_click(virtw - 140, virth - 40); }

    static bool buttons_loaded() { return (bool)buttonimage[3]; }
};
}  // namespace

TEST_F(Story, ContinueStartsTheLevelTheChapterIntroduces) {
    if (!buttons_loaded()) GTEST_SKIP() << "button images not built";
    curlevel = 16;
    level_type[16] = 1;
    testing::internal::CaptureStdout();
    enter(2);
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("preparestory(a:2)"), std::string::npos);
    ASSERT_EQ(curscreen, screen_story);
    EXPECT_EQ(storychapter, 2);
    EXPECT_EQ(storyleave, 0);

    clickcontinue();
    harness_frames(1);
    EXPECT_EQ(storyleave, 20);  // 19 from the click, 20 in the same frame
    EXPECT_EQ(fadestate, 2);
    EXPECT_EQ(nextscreen, screen_game);
    harness_frames(17);
    EXPECT_EQ(curscreen, screen_game);
    EXPECT_EQ(playlevel, 16);
    EXPECT_EQ(storyfade, 0);
}

TEST_F(Story, AFreshProfileStartsWithChapterOneThenLevelOne) {
    if (!buttons_loaded()) GTEST_SKIP() << "button images not built";
    playerlevel[1] = maxlevel[1] = 0;
    playername[1] = "TESS";
    level_type[1] = 1;
    fadestate = 1;
    gotoscreen(screen_menu, 0);
    harness_frames(17 + 60);
    ASSERT_EQ(curscreen, screen_menu);
    harness_click(centerx + 300, centery);  // play
    harness_frames(1 + 17 + 16);
    ASSERT_EQ(curscreen, screen_story);
    EXPECT_EQ(storychapter, 1);
    EXPECT_EQ(curlevel, 1);
    clickcontinue();
    harness_frames(1 + 17);
    EXPECT_EQ(curscreen, screen_game);
    EXPECT_EQ(playlevel, 1);
}

TEST_F(Story, MenuButtonLeavesUntilContinueIsPressed) {
    if (!buttons_loaded()) GTEST_SKIP() << "button images not built";
    enter(1);
    clickmenu();
    harness_frames(1);
    EXPECT_EQ(nextscreen, screen_menu);

    // Once continue is pressed the menu button no longer reacts.
    enter(1);
    curlevel = 1;
    level_type[1] = 1;
    clickcontinue();
    harness_frames(1);
    clickmenu();
    harness_frames(1);
    EXPECT_EQ(nextscreen, screen_game);
}

TEST_F(Story, LastChapterPlaysTheEndingThenShowsTheMap) {
    if (!buttons_loaded()) GTEST_SKIP() << "button images not built";
    enter(8);
    clickcontinue();
    harness_frames(1);
    EXPECT_EQ(storyfade, 2);
    EXPECT_EQ(nextscreen, screen_story);

    bool shook = false;
    int mapframe = 0;
    for (int i = 0; i < 320 && !mapframe; ++i) {
        // Neither button reacts during the ending.
        if (i == 40) clickmenu();
        if (i == 60) clickcontinue();
        harness_frames(1);
        if (screenshake == 10) shook = true;  // a letter of the final words landed
        if (nextscreen == screen_map) mapframe = storyfade;
        ASSERT_NE(nextscreen, screen_menu);
    }
    EXPECT_TRUE(shook);
    EXPECT_EQ(mapframe, 300);
}

TEST_F(Story, ChapterNumbersOutsideTheBookShowAChapterOfIt) {
    inststory(0);
    EXPECT_EQ(storychapter, 1);
    inststory(42);
    EXPECT_EQ(storychapter, 8);
    harness_frames(2);
    EXPECT_EQ(curscreen, screen_story);
}

TEST_F(Story, EndingDrawsOnlyInsideItsWindowAndRestoresTheAlpha) {
    set_alpha(0.6f);
    for (int s : {0, 10, 11, 100, 299, 300, 400}) {
        storyfade = s;
        screenshake = 0;
        drawstoryend(10, 300);
        EXPECT_FLOAT_EQ(get_alpha(), 0.6f) << s;
    }
    // The final words start landing 25 frames after the plate: a five-letter delay of 6 frames and 10 to land.
    int first = 0;
    for (int s = 11; s < 120 && !first; ++s) {
        storyfade = s;
        screenshake = 0;
        drawstoryend(10, 300);
        if (screenshake > 0) first = s;
    }
    const std::string words = upper8(storytext(0, 5));
    if (words.empty() || !fontimage[3]) GTEST_SKIP() << "story texts or effect font not built";
    const int n = (int)words.size();
    const int d = n <= 6 ? 6 : n <= 9 ? 4 : n <= 12 ? 2 : 1;
    ASSERT_NE(words[0], ' ');
    EXPECT_EQ(first, 35 + d + 10);  // letter 1 appears after one delay and lands 10 frames later
    storyfade = 0;
    set_alpha(1);
}

// Every paragraph wraps into the rows its column leaves it, and nothing runs past the buttons.
TEST_F(Story, ParagraphsFitTheirRows) {
    if (storytext(1, 1).empty()) GTEST_SKIP() << "story texts not built";
    std::string lines[WRAPLINES];
    for (int c = 1; c <= STORYCHAPTERS; ++c) {
        for (int i = 0; i < 8 && storylayout[c][i].line; ++i) {
            const StoryParagraph& p = storylayout[c][i];
            const std::string& text = storytext(c, p.line);
            EXPECT_FALSE(text.empty()) << "chapter " << c << " line " << p.line;
            const int rows = wraptext(4, text, 400, 1, lines, WRAPLINES);
            int limit = 12;  // the row under the last one that clears the buttons
            for (int k = i + 1; k < 8 && storylayout[c][k].line; ++k)
                if (storylayout[c][k].column == p.column) {
                    limit = storylayout[c][k].row;
                    break;
                }
            EXPECT_LE(p.row + rows, limit) << "chapter " << c << " line " << p.line << " wraps into " << rows;
        }
        // The title is centred over the left column and must not reach the right one.
        EXPECT_LE(textwidth(1, storytext(c, 1), 0.7f) / 2, 300) << "chapter " << c;
        EXPECT_LE(textwidth(4, storytext(c, 2), 1) / 2, 300) << "chapter " << c;
    }
}
