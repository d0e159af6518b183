// Files the game reads that are damaged in ways a player's machine produces: a folder in place of a file,
// an image header claiming a huge picture, a text table with one enormous line, a missing settings file.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/shell.h"
#include "aztec/board.h"
#include "aztec/levelrun.h"
#include "platform/imagefile.h"
#include "platform/paths.h"
#include "platform/readfile.h"
#include "app/profiles.h"
#include "storage/settings.h"
#include "support/headless.h"
#include "support/userfolder.h"
#include "texts/texttables.h"
#include "ui/menu.h"
#include "ui/popups.h"

namespace {
namespace fs = std::filesystem;

uint32_t crc32_of(const std::string& b) {
    uint32_t c = 0xffffffffu;
    for (unsigned char ch : b) {
        c ^= ch;
        for (int k = 0; k < 8; ++k) c = (c >> 1) ^ (0xedb88320u & (0u - (c & 1u)));
    }
    return ~c;
}

void put_be32(std::string& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + (size_t)i] = (char)(v >> (24 - 8 * i) & 0xff);
}

class DamagedFiles : public UserFolderTest {
protected:
    void TearDown() override {
        UserFolderTest::TearDown();
        popupkind = 0;
        popupfade = 0;
        profilenotice = NOTICE_NONE;
    }
};
}  // namespace

TEST_F(DamagedFiles, AFolderInPlaceOfAFileIsADamagedFile) {
    loadall();  // a complete first start
    fs::remove(userpath + "settings.txt");
    fs::create_directory(userpath + "settings.txt");
    fs::remove(userpath + "players2.ppp");
    fs::create_directory(userpath + "players2.ppp");
    fs::remove(userpath + "besttimes.ppp");
    fs::create_directory(userpath + "besttimes.ppp");
    testing::internal::CaptureStdout();
    makepath();
    loadall();
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("players2.ppp"), std::string::npos) << out;
    EXPECT_EQ(playername[2], "");
    EXPECT_EQ(curplayer, -1);
    EXPECT_EQ(besttime[1], -1);

    Pixels px;
    EXPECT_FALSE(decode_image_file(home, px));

    TextTable t;
    readtexttable(t, home, 300, 1);
    EXPECT_EQ(t.text[1], "");
}

TEST_F(DamagedFiles, AnImageClaimingAHugePictureIsRefusedBeforeItsPixelsAreMade) {
    const std::string small = home + "small.png";
    const uint8_t rgba[4] = {1, 2, 3, 255};
    ASSERT_TRUE(write_png_file(small, rgba, 1, 1));
    std::string b = file_bytes(small);
    // IHDR: length at 8, type at 12, width at 16, height at 20, CRC over type and data at 29.
    put_be32(b, 16, 60000);
    put_be32(b, 20, 60000);
    put_be32(b, 29, crc32_of(b.substr(12, 17)));
    Pixels px;
    EXPECT_FALSE(decode_image_memory((const uint8_t*)b.data(), b.size(), px));
    EXPECT_TRUE(px.rgba.empty());
    // The largest sheet the game ships still loads.
    put_be32(b, 16, 1);
    put_be32(b, 20, 1);
    put_be32(b, 29, crc32_of(b.substr(12, 17)));
    EXPECT_TRUE(decode_image_memory((const uint8_t*)b.data(), b.size(), px));
}

TEST_F(DamagedFiles, ATextTableLineIsBoundedAtLoad) {
    const std::string path = home + "texts.txt";
    {
        std::ofstream f(path, std::ios::binary);
        f << "---001---    FIRST\n";
        f << "001.01       " << std::string(8 << 20, 'a') << "\n";
        f << "001.02       after\n";
    }
    TextTable t;
    readtexttable(t, path, 300, 1);
    EXPECT_EQ(t.sectionstart[1], 1);
    EXPECT_LE(t.text[2].size(), (size_t)TEXTLINE_MAX);
    EXPECT_EQ(t.text[2].substr(0, 4), "AAAA");
    EXPECT_EQ(t.text[3], "AFTER");
}

TEST_F(DamagedFiles, WithoutSettingsANewProfileNeverTakesANamedSlot) {
    headless();
    loadall();
    playername[1] = "ANNA";
    playerscore[1] = 84300;
    saveplayer(1);
    playername[2] = "BEN";
    saveplayer(2);
    fs::remove(userpath + "settings.txt");
    testing::internal::CaptureStdout();
    makepath();
    loadall();
    testing::internal::GetCapturedStdout();
    ASSERT_EQ(curplayer, -1);
    newplayerprofile();
    EXPECT_EQ(curplayer, 3);
    EXPECT_EQ(playername[1], "ANNA");
    EXPECT_EQ(playerscore[1], 84300);
    EXPECT_EQ(popupkind, 105);

    // Every slot a new profile may take is named: the player list opens instead.
    for (int s = 1; s <= 8; ++s) playername[s] = "P" + std::to_string(s);
    curplayer = -1;
    popupkind = 0;
    newplayerprofile();
    EXPECT_EQ(curplayer, -1);
    EXPECT_EQ(popupkind, 103);
    EXPECT_EQ(playername[1], "P1");
}

TEST_F(DamagedFiles, AProfileThatCannotBeReadIsNeverWrittenOver) {
    loadall();
    playername[3] = "CAROL";
    playerlevel[3] = 42;
    maxlevel[3] = 42;
    playerscore[3] = 84300;
    saveplayer(3);
    curplayer = 3;
    savesettings(0);
    const std::string before = file_bytes(playerfile(3));

    // One failed read (a disk error) at start.
    read_file_fail_next(playerfile(3));
    testing::internal::CaptureStdout();
    makepath();
    loadall();
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("players3.ppp cannot be read"), std::string::npos) << out;
    EXPECT_EQ(profilenotice, NOTICE_UNREADABLE);
    EXPECT_NE(curplayer, 3);

    // Whatever saves follow in this run (focus loss, quitting), the file keeps the player's progress.
    testing::internal::CaptureStdout();
    saveplayer(3);
    if (curplayer >= 1) saveplayer(curplayer);
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(file_bytes(playerfile(3)), before);
    // And a new profile goes elsewhere.
    EXPECT_NE(freeplayerslot(), 3);

    // The next start reads it again.
    profilenotice = NOTICE_NONE;
    testing::internal::CaptureStdout();
    makepath();
    loadall();
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(playername[3], "CAROL");
    EXPECT_EQ(playerscore[3], 84300);
    EXPECT_EQ(profilenotice, NOTICE_NONE);
}

TEST_F(DamagedFiles, AFailedSaveIsSaidUntilASaveWorksAgain) {
    loadall();
    playername[2] = "DORA";
    // The new file cannot be made beside the old one (a folder is in the way): the old file stays.
    fs::create_directory(playerfile(2) + ".new");
    testing::internal::CaptureStdout();
    EXPECT_FALSE(saveplayer(2));
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("players2.ppp"), std::string::npos) << out;
    EXPECT_EQ(profilenotice, NOTICE_SAVEFAILED);
    EXPECT_EQ(file_bytes(playerfile(2)).size(), 28708u);
    fs::remove(playerfile(2) + ".new");
    EXPECT_TRUE(saveplayer(2));
    EXPECT_EQ(profilenotice, NOTICE_NONE);
    EXPECT_EQ(file_bytes(playerfile(2)).size(), 28712u);
}

TEST_F(DamagedFiles, ADamagedProfileLoadsWhatMakesSenseAndIsSaid) {
    loadall();
    playername[4] = "EVA";
    playerlevel[4] = 12;
    levelinprogress[4] = 1;
    saveplayer(4);
    std::string b = file_bytes(playerfile(4));
    // A stone of the stored board far outside any board: its coordinates would overflow the board rules.
    const size_t x = 6704 + 11 * 4 * 3;
    b[x] = b[x + 1] = b[x + 2] = (char)0xff;
    b[x + 3] = 0x7f;
    std::ofstream(playerfile(4), std::ios::binary).write(b.data(), (std::streamsize)b.size());
    testing::internal::CaptureStdout();
    makepath();
    loadall();
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("players4.ppp: the stored board is not possible"), std::string::npos) << out;
    EXPECT_EQ(profilenotice, NOTICE_REPAIRED);
    EXPECT_EQ(playername[4], "EVA");
    EXPECT_EQ(playerlevel[4], 12);
    EXPECT_EQ(levelinprogress[4], 0);
    for (int s = 1; s <= 500; ++s) EXPECT_LE(std::abs(stone_x[4][s]), 100000) << s;
}
