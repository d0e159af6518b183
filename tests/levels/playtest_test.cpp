// The casual player model of the level tool: reproducible plays through the real rules and bar, dead boards
// found and named, and the tool's table and check.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/display.h"
#include "app/shell.h"
#include "aztec/board.h"
#include "aztec/catalogue.h"
#include "aztec/levelfile.h"
#include "aztec/levelsource.h"
#include "aztec/levelrun.h"
#include "aztec/playtest.h"
#include "aztec/solver.h"
#include "storage/players.h"
#include "storage/settings.h"
#include "support/headless.h"
#include "aztec/testboards.h"
#include "ui/popups.h"

namespace {
const int SLOT = 140;  // a catalogue slot no level of the game uses

// A record from rows drawn bottom row first: "1".."9" colour, "I" sleeping stone, "A" animal, "a" variant of
// colour 1, "." empty.
levelrecord rows(int challenge, const std::vector<std::string>& drawn) {
    levelrecord rec = emptylevelrecord();
    rec.challenge = challenge;
    for (size_t r = 0; r < drawn.size(); ++r)
        for (int c = 0; c < 12 && c < (int)drawn[r].size(); ++c) {
            const char ch = drawn[r][(size_t)c];
            int code = -1;
            if (ch >= '1' && ch <= '9') code = ch - '1';
            if (ch == 'I') code = 20;
            if (ch == 'A') code = 91;
            if (ch == 'a') code = 60;
            rec.stonecode[levelcell(c, (int)r)] = code;
        }
    return rec;
}

class Playtest : public ::testing::Test {
protected:
    void SetUp() override {
        headless();
        curplayer = 1;
        virtw = 1024;
        virth = 768;
        popupkind = popupfade = 0;
        paused = -1;
    }
    // Makes `rec` the level in catalogue slot SLOT.
    void use(const levelrecord& rec) {
        level_type[SLOT] = rec.type;
        level_challenge[SLOT] = rec.challenge;
        level_time3[SLOT] = rec.time3;
        level_time2[SLOT] = rec.time2;
        level_moves3[SLOT] = rec.moves3;
        level_moves2[SLOT] = rec.moves2;
        record = rec;
    }
    playresult play(int difficulty, const char* who, uint64_t seed) {
        return playtestlevel(SLOT, record, difficulty, *findplaytester(who), seed);
    }
    // The board of `rec` after it has come to rest, for looking at.
    bool dead(const levelrecord& rec, std::string* what) {
        startsolverlevel(rec);
        for (int i = 0; i < 200; ++i) solverframe(boardleft + 32, 0, 0);
        return aztecdeadstate(what);
    }
    levelrecord record = emptylevelrecord();
};
}  // namespace

TEST_F(Playtest, TheSameSeedPlaysTheSameGame) {
    use(testboards()[0]);
    playresult a = play(3, "casual", 5), b = play(3, "casual", 5);
    EXPECT_EQ(std::memcmp(&a, &b, sizeof a), 0);
    EXPECT_EQ(a.outcome, PLAY_WON);
    bool differs = false;
    for (uint64_t s = 6; s < 10 && !differs; ++s) differs = play(3, "casual", s).frames != a.frames;
    EXPECT_TRUE(differs) << "other seeds play other games";
    // Whatever ran before: a solver's game between two plays leaves nothing behind.
    solvelevel(testboards()[3], 50);
    playresult c = play(3, "casual", 5);
    EXPECT_EQ(std::memcmp(&a, &c, sizeof a), 0);
}

TEST_F(Playtest, AColourStoneWalledInForGoodIsADeadBoard) {
    std::string what;
    // On the floor between two sleeping stones, an animal sitting on it.
    EXPECT_TRUE(dead(rows(1, {"I1I22.33.44.", ".A..........", "....5..5..5."}), &what));
    EXPECT_NE(what.find("colour-1 stone in column 2, row 1"), std::string::npos) << what;
    EXPECT_NE(what.find("animal"), std::string::npos) << what;
    // The board's edge walls it in as well, and so does a sleeping stone on top of it.
    EXPECT_TRUE(dead(rows(1, {"1I22.33.44..", "I...........", "..5..5..5..."}), &what));
    EXPECT_NE(what.find("column 1, row 1"), std::string::npos) << what;
    // Open above, or a wall that can still move (a sleeping stone on a colour stone), or a colour stone below
    // it that can still go: not dead.
    EXPECT_FALSE(dead(rows(1, {"I1I22.33.44.", "..........55"}), &what)) << what;
    EXPECT_FALSE(dead(rows(1, {"23I22.33.44.", "I1I.........", ".A.........."}), &what)) << what;
    EXPECT_FALSE(dead(rows(1, {"I2I22.33.44.", "I1I.........", ".A.........."}), &what)) << what;
}

TEST_F(Playtest, AnAnimalAboveASleepingStoneIsADeadBoard) {
    std::string what;
    EXPECT_TRUE(dead(rows(1, {"11.22I33.44.", ".....2......", ".....A......"}), &what));
    EXPECT_NE(what.find("animal in column 6"), std::string::npos) << what;
    EXPECT_FALSE(dead(rows(1, {"11.22I33.44.", "....2.......", "....A......."}), &what)) << what;
}

TEST_F(Playtest, APlayEndsAtTheFirstDeadBoardAndSaysWhen) {
    use(rows(1, {"11.22I33.44.", ".....2......", ".....A......"}));
    playresult r = play(1, "casual", 1);
    EXPECT_EQ(r.outcome, PLAY_STUCK);
    EXPECT_EQ(r.dead, 1);
    EXPECT_EQ(r.deadshot, 0);
    EXPECT_NE(std::string(r.deadwhat).find("animal in column 6"), std::string::npos) << r.deadwhat;
}

TEST_F(Playtest, TheBarLosesTimeLevelsAboveTheFirstDifficultyOnly) {
    // Many colours: far more than a second of aiming per stone cleared, which is all the bar gives back.
    const std::vector<std::string> tall = {"123456789123", "456789123456", "789123456789", "234567891234",
                                           "567891234567", "891234567891"};
    use(rows(1, tall));
    playresult hard = play(4, "slow", 3);
    EXPECT_EQ(hard.outcome, PLAY_LOST);
    EXPECT_EQ(hard.stars, 0);
    // The same level rated by shots, or at difficulty 1, has no bar to lose by.
    use(rows(2, tall));
    EXPECT_NE(play(4, "slow", 3).outcome, PLAY_LOST);
    use(rows(1, tall));
    EXPECT_NE(play(1, "slow", 3).outcome, PLAY_LOST);
}

TEST_F(Playtest, StarsOfAWonPlayFollowTheLevelsMarks) {
    levelrecord easy = rows(1, {"11.22.33...."});
    easy.time3 = easy.time2 = 999;
    use(easy);
    playresult r = play(3, "attentive", 2);
    ASSERT_EQ(r.outcome, PLAY_WON);
    EXPECT_EQ(r.stars, 3);
    EXPECT_EQ(r.seconds, (r.frames - 220) / 50);
    easy.time3 = -1;
    use(easy);
    EXPECT_EQ(play(3, "attentive", 2).stars, 2);
    easy.time2 = -1;
    use(easy);
    EXPECT_EQ(play(3, "attentive", 2).stars, 1);
    // Shots: the marks less twice the difficulty above 1.
    levelrecord shots = rows(2, {"11.22.33...."});
    use(shots);
    r = play(3, "attentive", 2);
    ASSERT_EQ(r.outcome, PLAY_WON);
    shots.moves3 = r.shots + 4, shots.moves2 = r.shots + 4;
    use(shots);
    EXPECT_EQ(play(3, "attentive", 2).stars, 3);
    shots.moves3 = r.shots + 3;
    use(shots);
    EXPECT_EQ(play(3, "attentive", 2).stars, 2);
}

TEST_F(Playtest, OnlyThePlayerWhoKnowsAboutVariantStonesClearsThem) {
    // One variant stone among plain colours: a group clears round it and leaves it; only a superstone blast
    // takes it away.
    levelrecord rec = rows(2, {"1a1222333444", "2.2..3...4..", "1.1..2...3.."});
    use(rec);
    int blasterwins = 0, casualwins = 0;
    for (uint64_t s = 1; s <= 3; ++s) {
        blasterwins += play(1, "blaster", s).outcome == PLAY_WON;
        playresult c = play(1, "casual", s);
        casualwins += c.outcome == PLAY_WON;
        if (c.outcome != PLAY_WON) {
            EXPECT_EQ(c.outcome, PLAY_STUCK);
        }
    }
    EXPECT_GT(blasterwins, casualwins);
}

TEST_F(Playtest, NoPlayOfTheMatch3RingEndsOnALockedBoard) {
    resident_media();
    if (level_type[40] != 2) GTEST_SKIP() << "level 40 is not a match-3 board";
    for (uint64_t s = 1; s <= 3; ++s) {
        playresult r = playtestlevel(40, emptylevelrecord(), 3, *findplaytester("quick"), s);
        EXPECT_EQ(r.dead, 0) << r.deadwhat;
        EXPECT_NE(r.outcome, PLAY_STUCK);
    }
}

TEST(LevelTool, PlaytestWritesItsTablesTheSameForTheSameSeedAndChecks) {
    std::string tool = build_dir() + "/ombrivale-levels";
    if (!std::filesystem::exists(tool)) GTEST_SKIP() << "ombrivale-levels is not built";
    std::string base = temp_folder("playtesttool");
    std::vector<levelrecord> good = {testboards()[0], rows(2, {"11.22.33.44."})};
    ASSERT_EQ(writelevelfile(base + "good.lvl", good), 1);
    auto run = [&](const std::string& file, const std::string& out) {
        const std::string cmd = tool + " playtest " + base + file + " --plays 3 --jobs 2 --difficulty 1,3 --out " +
                                base + out + " --check > " + base + out + ".log 2>&1";
        return WEXITSTATUS(std::system(cmd.c_str()));
    };
    EXPECT_EQ(run("good.lvl", "a"), 0) << file_bytes(base + "a.log");
    EXPECT_EQ(run("good.lvl", "b"), 0);
    const std::string table = file_bytes(base + "a.txt");
    EXPECT_NE(table.find("== difficulty 3, casual player"), std::string::npos) << table;
    EXPECT_NE(table.find("Dead states: none"), std::string::npos) << table;
    EXPECT_EQ(table, file_bytes(base + "b.txt"));
    EXPECT_EQ(file_bytes(base + "a.csv"), file_bytes(base + "b.csv"));
    EXPECT_EQ(file_bytes(base + "a.png").substr(1, 3), "PNG");

    // A level that locks: the check fails and names the level and the first play that got there.
    std::vector<levelrecord> bad = good;
    bad.push_back(rows(1, {"11.22I33.44.", ".....2......", ".....A......"}));
    ASSERT_EQ(writelevelfile(base + "bad.lvl", bad), 1);
    EXPECT_EQ(run("bad.lvl", "c"), 1);
    const std::string log = file_bytes(base + "c.log");
    EXPECT_NE(log.find("level 3, difficulty 1, casual player: 3 of 3 plays; first play 1 (--play 1), after shot 0"),
              std::string::npos)
        << log;
    EXPECT_NE(log.find("Levels no play won: 3"), std::string::npos) << log;
    EXPECT_NE(log.find("FAILED"), std::string::npos);
    // A file that is no catalogue is refused.
    EXPECT_EQ(run("missing.lvl", "d"), 2);
}

TEST(LevelTool, MarksFromAPlaytestFollowTheWinningPlays) {
    std::string tool = build_dir() + "/ombrivale-levels";
    if (!std::filesystem::exists(tool)) GTEST_SKIP() << "ombrivale-levels is not built";
    std::string dir = temp_folder("playtestmarks") + "levels";
    std::filesystem::create_directories(dir);
    const std::vector<levelrecord> recs(17, rows(1, {"11.22.33...."}));
    for (size_t i = 0; i < recs.size(); ++i) {
        levelrecord rec = recs[i];
        if (i == 16) rec.challenge = 2;
        char name[32];
        std::snprintf(name, sizeof name, "/%03zu.lvl", i + 1);
        std::ofstream(dir + name) << "# a test level\n" << formatlevelsource(rec);
    }
    // Level 1 (first section: three stars for the quicker half), 16 (a quarter), 17 (shots, stored with the
    // difficulty's share added back); level 2 was never won and keeps its marks; other players are not read.
    std::ofstream(dir + "/pt.csv")
        << "level,kind,difficulty,player,plays,win,lose,stuck,dead,median_shots,median_minutes,stars2plus,stars3,"
           "winsec_p10,winsec_p25,winsec_p50,winsec_p75,winsec_p90,winshots_p10,winshots_p25,winshots_p50,"
           "winshots_p75,winshots_p90\n"
           "1,time,3,casual,10,100,0,0,0,20,1,50,20,10,20,30,40,50,5,6,7,8,9\n"
           "2,time,3,casual,10,0,100,0,0,20,1,0,0,0,0,0,0,0,0,0,0,0,0\n"
           "16,time,3,casual,10,90,10,0,0,20,1,50,20,10,20,30,40,50,5,6,7,8,9\n"
           "16,time,3,slow,10,90,10,0,0,20,1,50,20,11,99,99,99,99,5,6,7,8,9\n"
           "17,moves,3,casual,10,90,10,0,0,20,1,50,20,10,20,30,40,50,5,6,7,8,9\n";
    const std::string cmd = tool + " marks " + dir + " --playtest " + dir + "/pt.csv > " + dir + "/log 2>&1";
    ASSERT_EQ(WEXITSTATUS(std::system(cmd.c_str())), 0) << file_bytes(dir + "/log");
    auto marks = [&](int n) {
        char name[32];
        std::snprintf(name, sizeof name, "/%03d.lvl", n);
        levelrecord rec;
        std::string error;
        EXPECT_TRUE(parselevelsource(file_bytes(dir + name), name, &rec, &error)) << error;
        return rec;
    };
    EXPECT_EQ(marks(1).time3, 30);
    EXPECT_EQ(marks(1).time2, 40);
    EXPECT_EQ(marks(2).time3, recs[1].time3);
    EXPECT_EQ(marks(16).time3, 20);
    EXPECT_EQ(marks(16).time2, 40);
    EXPECT_EQ(marks(17).moves3, 6 + 4);
    EXPECT_EQ(marks(17).moves2, 8 + 4);
    EXPECT_NE(file_bytes(dir + "/016.lvl").find("# measured: casual players at difficulty 3"), std::string::npos);
}
