// The language choice of the options: it applies at once, redraws what is on screen in the new language and is
// remembered in its own file, leaving the settings file as it was.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "app/harness.h"
#include "app/profiles.h"
#include "app/screenflow.h"
#include "globals.h"
#include "storage/settings.h"
#include "support/datafolder.h"
#include "support/headless.h"
#include "texts/fonts.h"
#include "texts/languages.h"
#include "texts/texttables.h"
#include "ui/buttons.h"
#include "ui/menu.h"
#include "ui/popups.h"

namespace {
class LanguageChoice : public ::testing::Test {
protected:
    void SetUp() override {
        headless();
        build_data_folder();
        userpath = temp_folder("languagechoice");
        loadmenustuff();
        if (!buttonimage[6] || !buttonimage[3]) GTEST_SKIP() << "interface images not generated";
        setlanguage(0);
        loadfonts();
        loadplayers(9999);
        curplayer = -1;
        popupkind = popupfade = 0;
        curscreen = screen_map;
        instmenu();
        harness_frames(40);
    }
    void TearDown() override { setlanguage(0); }
    // How wide the play button's light caption is, in logical pixels.
    int playcaption() {
        int w = 0, h = 0;
        std::vector<uint8_t> px = harness_frame_rgba(&w, &h);
        const int bx = (int)buttonseenx[1], by = (int)buttonseeny[1];
        int left = bx, right = bx;
        for (int y = by - 8; y <= by + 8; y += 2)
            for (int x = bx - 100; x <= bx + 100; ++x) {
                const uint32_t p = frame_pixel(px.data(), w, x, y);  // RGBA
                if ((p >> 24) > 150 && ((p >> 16) & 0xFF) > 150 && ((p >> 8) & 0xFF) > 150) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                }
            }
        return right - left;
    }
};
}  // namespace

TEST_F(LanguageChoice, TheArrowsSwitchAtOnceAndTheChoiceIsRemembered) {
    const int english = playcaption();  // PLAY
    EXPECT_GT(english, 30);
    popupaction(100);
    harness_frames(20);
    harness_click(centerx + 55 + 160, centery + 200);  // the right arrow
    harness_frames(1);
    EXPECT_EQ(curlanguage, 1);
    EXPECT_EQ(menutext(7, 1), "OPTIONEN");
    EXPECT_EQ(menutext(12, 5), "SPIELEN");
    EXPECT_EQ(file_bytes(userpath + languagefile), "de\r\n");
    harness_click(centerx + 55 - 160, centery + 200);  // back, and back again past English to Dutch
    harness_frames(1);
    harness_click(centerx + 55 - 160, centery + 200);
    harness_frames(1);
    EXPECT_EQ(curlanguage, 6);
    EXPECT_EQ(menutext(12, 5), "SPELEN");
    EXPECT_EQ(file_bytes(userpath + languagefile), "nl\r\n");
    EXPECT_EQ(loadlanguagechoice(), 6);
    harness_click(centerx, centery + 250);  // done
    harness_frames(30);
    EXPECT_EQ(popupkind, 0);
    // The menu under the popup now shows its captions in Dutch.
    EXPECT_GT(playcaption(), english * 5 / 4);  // SPELEN
    // settings.txt keeps its seven lines: the language is not among them.
    const std::string now = file_bytes(userpath + "settings.txt");
    EXPECT_EQ(std::count(now.begin(), now.end(), '\n'), 7);
    EXPECT_EQ(now.find("nl"), std::string::npos);
}
