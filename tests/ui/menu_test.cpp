#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "app/display.h"
#include "app/harness.h"
#include "app/screenflow.h"
#include "app/shell.h"
#include "platform/inject.h"
#include "platform/input.h"
#include "storage/players.h"
#include "storage/settings.h"
#include "support/headless.h"
#include "texts/fonts.h"
#include "texts/texttables.h"
#include "ui/buttons.h"
#include "ui/menu.h"
#include "ui/popups.h"

namespace {
std::string filebytes(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
}

// The menu, entered through the real loop with the game's own images and texts.
class Menu : public ::testing::Test {
protected:
    void SetUp() override {
        headless();
        userpath = temp_folder("menu");
        loadmenustuff();
        if (!buttonimage[6] || !buttonimage[3]) GTEST_SKIP() << "interface images not generated";
        readmenutexts();
        loadfonts();
        loadplayers(9999);
        curplayer = -1;
        popupkind = popupfade = 0;
        curscreen = screen_map;
        instmenu();
        harness_frames(20);
    }
    void click(int x, int y) {
        harness_click(x, y);
        harness_frames(1);
    }
    void type(const std::string& s) {
        for (char c : s) {
            inject_text(std::string(1, c));
            harness_frames(1);
        }
    }
    void key(int vk) {
        inject_key(vk, 1);
        inject_key(vk, 0);
        harness_frames(1);
    }
};
}  // namespace

TEST_F(Menu, FirstProfileIsTypedWithBackspaceAndEnterAndSaved) {
    click(centerx + 300, centery);  // play, with no profile yet
    EXPECT_EQ(popupkind, 105);
    EXPECT_EQ(curplayer, 1);
    harness_frames(16);
    type("mix");
    key(VK_BACK);
    type("a");
    key(VK_RETURN);
    EXPECT_EQ(playername[1], "MIA");
    EXPECT_EQ(popupfadedir, 2);
    std::string bytes = filebytes(userpath + "players1.ppp");
    ASSERT_EQ(bytes.size(), 28708u + 3);
    EXPECT_EQ(bytes.substr(bytes.size() - 3), "MIA");
    EXPECT_EQ(filebytes(userpath + "settings.txt").find("1\r\n1\r\n"), 0u);
}

TEST_F(Menu, ADuplicateNameOpensItsDialogAndDiscardsTheSlot) {
    playername[1] = "MIA";
    curplayer = 1;
    popupaction(103);
    harness_frames(17);
    click(centerx - 240, centery + 250);  // new profile
    EXPECT_EQ(popupkind, 105);
    EXPECT_EQ(curplayer, 2);
    type("Mia");
    key(VK_RETURN);
    EXPECT_EQ(popupkind, 781);
    harness_frames(17);
    click(centerx, centery + 180);
    EXPECT_EQ(playername[2], "");
    EXPECT_EQ(popupkind, 103);
}

TEST_F(Menu, NamesAreCheckedAsTheyAreSavedWithoutTheirSpaces) {
    // A name of spaces only is refused like an empty one: no profile that comes back as an empty slot.
    click(centerx + 300, centery);  // play, with no profile yet
    ASSERT_EQ(popupkind, 105);
    harness_frames(16);
    type(" ");
    key(VK_RETURN);
    EXPECT_EQ(popupkind, 105) << "the entry stays open";
    EXPECT_EQ(nameerror, 2);
    EXPECT_EQ(filebytes(userpath + "players1.ppp").size(), 28708u) << "nothing saved under the blank name";
    type("ANNA ");
    key(VK_RETURN);
    EXPECT_EQ(playername[1], "ANNA");
    EXPECT_EQ(filebytes(userpath + "players1.ppp").size(), 28708u + 4);
    harness_frames(20);

    // "ANNA " is the name "ANNA": a second profile cannot take it.
    popupaction(103);
    harness_frames(17);
    click(centerx - 240, centery + 250);  // new profile
    ASSERT_EQ(popupkind, 105);
    EXPECT_EQ(curplayer, 2);
    type("ANNA ");
    key(VK_RETURN);
    EXPECT_EQ(nameerror, 1);
    EXPECT_EQ(popupkind, 781);
}

TEST_F(Menu, DeletingTheCurrentProfileSelectsTheLowestNamedOne) {
    playername[2] = "BEA";
    playername[4] = "COL";
    playername[6] = "DOV";
    curplayer = 4;
    popupaction(106);
    harness_frames(17);
    click(centerx + 140, centery + 150);
    EXPECT_EQ(curplayer, 2);
    EXPECT_EQ(playername[4], "");
    EXPECT_EQ(filebytes(userpath + "players4.ppp").size(), 28708u);
}

TEST_F(Menu, WithAPopupOpenTheMenuButtonsDoNotReact) {
    popupaction(111);
    harness_frames(17);
    click(centerx + 300, centery + 160);  // options, under the ranking
    EXPECT_EQ(popupkind, 111);
}
