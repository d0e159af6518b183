#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/screenflow.h"
#include "app/shell.h"
#include "aztec/board.h"
#include "aztec/catalogue.h"
#include "aztec/levelrun.h"
#include "match3/match3.h"
#include "platform/random.h"
#include "app/profiles.h"
#include "storage/safefile.h"
#include "storage/settings.h"
#include "support/headless.h"
#include "support/userfolder.h"

namespace {
std::string slurp(const std::string& path) {
    std::stringstream s;
    s << std::ifstream(path, std::ios::binary).rdbuf();
    return s.str();
}

int int_at(const std::string& b, size_t at) {
    const unsigned char* p = (const unsigned char*)b.data() + at;
    return (int)((uint32_t)p[0] | (uint32_t)p[1] << 8 | (uint32_t)p[2] << 16 | (uint32_t)p[3] << 24);
}

class Players : public UserFolderTest {
protected:
    void SetUp() override {
        UserFolderTest::SetUp();
        curscreen = screen_none;
        resumeflag = 0;
    }
    void TearDown() override {
        UserFolderTest::TearDown();
        curscreen = screen_none;
        resumeflag = 0;
        wincount = losecount = 0;
        cannonslot = 0;
    }
};
}  // namespace

TEST_F(Players, FirstRunCreatesEveryFileAndASecondRunReadsThemUnchanged) {
    testing::internal::CaptureStdout();
    loadall();
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out.find("missing"), std::string::npos) << out;
    EXPECT_EQ(slurp(userpath + "settings.txt"), "1\r\n1\r\n280\r\n280\r\n-1\r\n1\r\n-1\r\n");
    for (int s = 1; s <= 15; ++s) {
        std::string b = slurp(userpath + "players" + std::to_string(s) + ".ppp");
        ASSERT_EQ(b.size(), 28708u) << s;
        EXPECT_EQ(int_at(b, 0), 3);         // difficulty
        EXPECT_EQ(int_at(b, 28), -9999);    // id
        EXPECT_EQ(int_at(b, 304 + 4), 201); // level 1 open on the map
        EXPECT_EQ(int_at(b, 6704 + 8), -1); // board slot 1 empty
    }
    std::string times = slurp(userpath + "besttimes.ppp");
    ASSERT_EQ(times.size(), 3200u);
    EXPECT_EQ(int_at(times, 0), -1);
    EXPECT_EQ(times.substr(4, 12), std::string(12, ' '));
    int files = 0;
    for (auto& e : std::filesystem::directory_iterator(userpath)) files += e.is_regular_file();
    EXPECT_EQ(files, 17);

    std::string before = slurp(userpath + "players7.ppp");
    playername[7] = "KEEP";
    makepath();
    ASSERT_EQ(newuserfolder, 0);
    loadall();
    EXPECT_EQ(playername[7], "");
    saveplayer(7);
    EXPECT_EQ(slurp(userpath + "players7.ppp"), before);
    EXPECT_EQ(slurp(userpath + "besttimes.ppp"), times);
}

TEST_F(Players, EveryFieldHasItsPlaceInTheFile) {
    int p = 4;
    playdifficulty[p] = 2;
    playerlevel[p] = 37;
    player_res24[p] = 77;
    playerscore[p] = 123456;
    player_m3resume[p] = -5;
    savedfloorline[p] = 96;
    levelrescued[p] = 9;
    rankcounter[p][1] = 101;
    rankcounter[p][21] = 121;
    player_restable[p][30] = 330;
    levelstars[p][1] = 3;
    levelstate[p][200] = 50;
    m3save_mud[p][1] = 2;
    player_m3res1[p][1] = 11;
    m3save_itemkind[p][1] = 5;
    player_m3res2[p][200] = 22;
    stone_x[p][1] = 32;
    stone_kind[p][1] = 7;
    stone_spare[p][1] = 44;
    stone_chain[p][1][3] = 1;
    stone_chain[p][500][3] = 1;
    playername[p] = "  ALICE ";
    std::string b = encodeplayer(p);
    ASSERT_EQ(b.size(), 28713u);
    EXPECT_EQ(b.substr(28708), "ALICE");
    EXPECT_EQ(int_at(b, 28704), 5);
    struct { size_t at; int v; } want[] = {{0, 2},      {12, 37},     {24, 77},      {48, 123456}, {64, -5},
                                           {72, 96},    {96, 9},      {100, 101},    {180, 121},   {300, 330},
                                           {304, 3},    {1900, 50},   {1904, 2},     {1908, 11},   {1920, 5},
                                           {6700, 22},  {6704, 32},   {6712, 7},     {6716, 44},   {6744, 1},
                                           {28700, 1}};
    for (auto w : want) EXPECT_EQ(int_at(b, w.at), w.v) << "offset " << w.at;

    // Read back into another slot: the same bytes come out.
    decodeplayer(9, b, "test");
    EXPECT_EQ(playername[9], "ALICE");
    EXPECT_EQ(encodeplayer(9), b);

    // Written through the slot's own file name.
    saveplayer(p);
    EXPECT_EQ(slurp(userpath + "players4.ppp"), b);
}

TEST_F(Players, ResetRestartSortAndNames) {
    int p = 2;
    savedfloorline[p] = 160;
    winbonus[p] = 4;
    player_restable[p][3] = 8;
    stone_x[p][5] = 99;
    playerscore[p] = 500;
    playerlevel[p] = 99;
    playername[p] = "BOB";
    playerid[p] = 42;
    stoneset[p] = 2;
    maxlevel[p] = 99;
    levelstars[p][4] = 3;
    stone_kind[p][5] = 3;
    restartplayer(p);
    EXPECT_EQ(playerscore[p], 0);
    EXPECT_EQ(playername[p], "BOB");
    EXPECT_EQ(playerid[p], 42);
    EXPECT_EQ(stoneset[p], 2);
    EXPECT_EQ(maxlevel[p], 1);
    EXPECT_EQ(levelstars[p][4], 0);
    EXPECT_EQ(levelstate[p][1], 201);
    EXPECT_EQ(stone_kind[p][5], -1);
    playerlevel[p] = 100;
    playerscore[p] = 500;
    restartplayer(p);
    EXPECT_EQ(playerscore[p], 500);
    EXPECT_EQ(playerlevel[p], 0);

    resetplayer(p);
    EXPECT_EQ(playername[p], "");
    EXPECT_EQ(playerid[p], -9999);
    EXPECT_EQ(savedfloorline[p], 160);  // not part of a reset
    EXPECT_EQ(winbonus[p], 4);
    EXPECT_EQ(player_restable[p][3], 8);
    EXPECT_EQ(stone_x[p][5], 99);
    EXPECT_EQ(stone_chain[p][5][2], -1);

    for (int s = 1; s <= 15; ++s) playerscore[s] = 0;
    playerscore[3] = 10;
    playerscore[8] = 10;
    playerscore[12] = 30;
    sortplayers();
    EXPECT_EQ(playerorder[1], 12);
    EXPECT_EQ(playerorder[2], 3);
    EXPECT_EQ(playerorder[3], 8);
    EXPECT_EQ(playerorder[4], 1);
    EXPECT_EQ(playerorder[15], 15);

    curplayer = 5;
    playername[5] = "";
    EXPECT_EQ(checkplayername(), 0);
    EXPECT_EQ(nameerror, 2);
    playername[5] = "ANNA";
    playername[11] = "ANNA";
    EXPECT_EQ(checkplayername(), 0);
    EXPECT_EQ(nameerror, 1);
    playername[11] = "ANNAS";
    EXPECT_EQ(checkplayername(), 1);
    EXPECT_EQ(nameerror, 0);
}

TEST_F(Players, CreatingAndDeletingProfiles) {
    for (int s = 1; s <= 8; ++s) playername[s] = s == 3 ? "" : "P" + std::to_string(s);
    curplayer = 6;
    seed_rnd(5);
    EXPECT_EQ(createplayer(), 3);
    EXPECT_EQ(previousplayer, 6);
    EXPECT_EQ(curplayer, 3);
    EXPECT_GE(playerid[3], 0);
    EXPECT_LE(playerid[3], 100000);
    playername[3] = "P3";
    curplayer = 1;
    EXPECT_EQ(createplayer(), 0);  // no ninth profile: slots 1..8 are taken
    EXPECT_EQ(curplayer, 1);

    playerscore[1] = 70;
    deleteplayer();
    EXPECT_EQ(curplayer, 2);
    EXPECT_EQ(playerscore[1], 0);
    std::string b = slurp(userpath + "players1.ppp");
    EXPECT_EQ(b.size(), 28708u);
    EXPECT_EQ(slurp(userpath + "settings.txt").substr(0, 12), "1\r\n1\r\n280\r\n2");
    for (int s = 2; s <= 8; ++s) playername[s].clear();
    curplayer = 5;
    deleteplayer();
    EXPECT_EQ(curplayer, -1);
}

TEST_F(Players, SavingInTheMiddleOfALevelKeepsTheBoardButNotTheCannonStone) {
    int p = 6;
    curplayer = p;
    curscreen = screen_game;
    playlevel = 12;
    level_type[12] = 1;
    wincount = losecount = 0;
    resumeflag = 1;
    m3resume = 3;
    scrollleft = -64;
    floorline = 96;
    stone_kind[p][1] = 4;
    stone_kind[p][2] = 5;  // loaded in the cannon
    cannonslot = 2;
    m3cells[1].mud = 2;
    m3items[200].kind = 999;
    saveplayer(p);
    std::string b = slurp(userpath + "players6.ppp");
    EXPECT_EQ(int_at(b, 16), 1);  // level in progress
    EXPECT_EQ(int_at(b, 64), 3);
    EXPECT_EQ(int_at(b, 68), -64);
    EXPECT_EQ(int_at(b, 72), 96);
    EXPECT_EQ(int_at(b, 6704 + 8), 4);
    EXPECT_EQ(int_at(b, 6704 + 44 + 8), 0);  // the cannon's stone is not a board stone
    EXPECT_EQ(stone_kind[p][2], 5);          // but stays loaded in the running game
    EXPECT_EQ(int_at(b, 1904), 2);
    EXPECT_EQ(int_at(b, 1904 + 199 * 24 + 16), 999);

    // After the win started nothing of the level is captured.
    wincount = 1;
    levelinprogress[p] = 0;
    scrollleft = 0;
    saveplayer(p);
    b = slurp(userpath + "players6.ppp");
    EXPECT_EQ(int_at(b, 16), 0);
    EXPECT_EQ(int_at(b, 68), -64);
    EXPECT_EQ(int_at(b, 6704 + 44 + 8), 5);
    m3cells[1].mud = 0;
    m3items[200].kind = 0;
    m3resume = 0;
}

TEST_F(Players, DamagedFilesLoadWithoutHarm) {
    loadplayers(9999);
    playername[2] = "CAROL";
    playerscore[2] = 800;
    levelstate[2][3] = 1;
    saveplayer(2);
    std::string good = slurp(userpath + "players2.ppp");
    auto write = [&](int slot, const std::string& bytes) {
        std::ofstream(playerfile(slot), std::ios::binary).write(bytes.data(), (std::streamsize)bytes.size());
    };
    testing::internal::CaptureStdout();

    // Cut inside the level states: what is there is kept, the rest is reset.
    write(2, good.substr(0, 330));
    std::filesystem::remove(playerfile(3));
    // A name length past the end of the file, and one too long for a name.
    std::string longname = good;
    longname[28704] = 100;
    write(4, longname);
    std::string past = good.substr(0, 28710);
    write(5, past);
    std::string negative = good;
    negative[28704] = negative[28705] = negative[28706] = negative[28707] = (char)0xff;
    write(6, negative);
    // Random bytes of every length around the layout.
    {
        unsigned x = 12345;
        for (int slot = 7; slot <= 15; ++slot) {
            size_t n = slot == 7 ? 0 : slot == 8 ? 3 : slot == 9 ? 28707 : 28708 + (slot - 10) * 7;
            std::string r(n, 0);
            for (auto& c : r) c = (char)((x = x * 1103515245 + 12345) >> 16);
            write(slot, r);
        }
    }
    loadplayers(0);
    std::string out = testing::internal::GetCapturedStdout();

    EXPECT_EQ(playerscore[2], 800);
    EXPECT_EQ(playername[2], "");
    EXPECT_EQ(levelstate[2][3], 1);
    EXPECT_EQ(levelstate[2][150], 0);
    EXPECT_EQ(stone_kind[2][1], -1);
    EXPECT_NE(out.find("players2.ppp: short (330 of 28708 bytes)"), std::string::npos) << out;
    EXPECT_NE(out.find("players3.ppp is missing"), std::string::npos);
    EXPECT_EQ(playername[3], "");
    EXPECT_EQ(playername[4], "");
    EXPECT_EQ(playername[5], "");
    EXPECT_EQ(playername[6], "");
    EXPECT_EQ(playerscore[4], 800);
    for (int s = 1; s <= 15; ++s) {
        EXPECT_GE(playerlevel[s], 0);
        EXPECT_LE(playerlevel[s], 200);
        EXPECT_GE(maxlevel[s], 1);
        EXPECT_LE(maxlevel[s], 200);
        EXPECT_GE(playdifficulty[s], 1);
        EXPECT_LE(playdifficulty[s], 4);
        EXPECT_LE(playername[s].size(), 12u);
    }
}

namespace {
class ProfileCodec : public Players {};
}  // namespace

TEST_F(ProfileCodec, TheHighestValuesAndTheLongestNameComeBackFromTheFile) {
    const int p = 4;
    playername[p] = "ABCDEFGHIJKL";  // twelve characters: the longest a name can be
    playdifficulty[p] = 4;
    stoneset[p] = 4;
    playerscore[p] = 0x01020304;
    maxlevel[p] = playerlevel[p] = 150;
    saveplayer(p);
    const std::string bytes = slurp(playerfile(p));
    ASSERT_EQ(bytes.size(), 28708u + 12);
    // Little-endian integers in their places; the reserved values of a fresh slot at 20 and 24.
    EXPECT_EQ(bytes.substr(48, 4), std::string("\x04\x03\x02\x01", 4));
    EXPECT_EQ(int_at(bytes, 20), 1);
    EXPECT_EQ(int_at(bytes, 24), 3);
    EXPECT_EQ(int_at(bytes, 28704), 12);
    resetplayer(p);
    decodeplayer(p, bytes, playerfile(p));
    EXPECT_EQ(playername[p], "ABCDEFGHIJKL");
    EXPECT_EQ(playdifficulty[p], 4);
    EXPECT_EQ(stoneset[p], 4);
    EXPECT_EQ(playerscore[p], 0x01020304);
    EXPECT_EQ(maxlevel[p], 150);
    EXPECT_EQ(encodeplayer(p), bytes);
}

TEST_F(ProfileCodec, AFileReadIntoASlotIsWrittenBackByteForByteReservedFieldsAndAll) {
    // Every field a different value (within what a game writes), so that no two can trade places unseen.
    profilerecord r = blankprofile();
    int next = 1;
    for (int* v : {&r.res20, &r.res24, &r.id, &r.res44, &r.res56, &r.res60, &r.res76, &r.stat_cleared,
                   &r.stat_special, &r.stat_other, &r.winbonus, &r.playseconds, &r.playshots, &r.score, &r.m3resume})
        *v = 1000 + next++;
    r.difficulty = 2;
    r.stoneset = 3;
    r.adventurestarted = 1;
    r.level = 17;
    r.maxlevel = 18;
    r.timerbar_shown = 222;
    r.levelrescued = 5;
    for (int i = 0; i < 21; ++i) r.rankcounter[i] = i * 3;
    for (int i = 0; i < 30; ++i) r.restable[i] = 2000 + i;
    for (int i = 0; i < 200; ++i) {
        r.levelstars[i] = i % 7;
        r.levelstate[i] = 300 + i;
        r.m3res1[i] = 4000 + i;
        r.m3res2[i] = 5000 + i;
        r.m3mud[i] = i % 5;
    }
    for (int i = 0; i < PROFILE_STONES; ++i) r.stone[i].spare = 7000 + i;
    r.name = "RESERVED";
    const std::string bytes = encodeprofile(r);
    ASSERT_TRUE(decodeprofile(bytes, &r, nullptr));  // a sound file: nothing was replaced
    const int p = 5;
    ASSERT_TRUE(decodeplayer(p, bytes, playerfile(p)));
    EXPECT_EQ(collectplayer(p), r);
    EXPECT_EQ(encodeplayer(p), bytes);
}

TEST_F(ProfileCodec, DeletingAProfileSelectsTheLowestNamedSlot) {
    playername[1] = "FIRST";
    playername[6] = "SIXTH";
    playername[3] = "THIRD";
    curplayer = 3;
    deleteplayer();
    EXPECT_EQ(curplayer, 1);
    EXPECT_TRUE(playername[3].empty());
    EXPECT_EQ(slurp(playerfile(3)).size(), 28708u);
}
