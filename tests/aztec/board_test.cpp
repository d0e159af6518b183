#include <filesystem>
#include <set>

#include "aztec/catalogue.h"
#include "aztec/levelfile.h"
#include "boardfixture.h"
#include "platform/paths.h"
#include "support/headless.h"

namespace {
// Writes a catalogue whose level 3 is `rec` into a fresh data folder and points the game at it.
void usecatalogue(const std::string& name, const levelrecord& rec) {
    std::string base = temp_folder(name);
    std::filesystem::create_directories(base + "data/levelz");
    std::vector<levelrecord> levels(3, emptylevelrecord());
    levels[2] = rec;
    ASSERT_EQ(writelevelfile(base + "data/levelz/levels.lvl", levels), 1);
    basedir = base;
    curlevel = 3;
}

struct Found {
    int slot = 0, kind = 0;
};
Found stoneat(int p, int x, int y) {
    for (int s = 1; s < BOARDSLOTS; ++s)
        if (stone_kind[p][s] > 0 && stone_x[p][s] == x && stone_y[p][s] == y) return {s, stone_kind[p][s]};
    return {};
}
}  // namespace

TEST(LevelFile, WritesTheCatalogueLayoutAndReadsItBack) {
    std::string base = temp_folder("levelfile");
    levelrecord a = emptylevelrecord();
    a.stonecode[1] = 3;
    a.chaincode[1] = 2;
    a.stonecode[144] = 92;
    a.challenge = 2;
    a.moves3 = 17;
    a.moves2 = -5;
    ASSERT_EQ(writelevelfile(base + "l.lvl", {a}), 1);
    EXPECT_EQ(std::filesystem::file_size(base + "l.lvl"), 176408u);
    levelrecord b;
    ASSERT_EQ(readlevelrecord(base + "l.lvl", 1, &b), 1);
    EXPECT_EQ(b.stonecode[1], 3);
    EXPECT_EQ(b.chaincode[1], 2);
    EXPECT_EQ(b.stonecode[144], 92);
    EXPECT_EQ(b.stonecode[2], -1);
    EXPECT_EQ(b.challenge, 2);
    EXPECT_EQ(b.moves3, 17);
    EXPECT_EQ(b.moves2, -5);
    EXPECT_EQ(readlevelfile(base + "l.lvl").size(), 150u);
    // Past the end, or a missing file, is a failure, not an empty level.
    EXPECT_EQ(readlevelrecord(base + "l.lvl", 151, &b), 0);
    EXPECT_EQ(readlevelrecord(base + "none.lvl", 1, &b), 0);
    EXPECT_TRUE(readlevelfile(base + "none.lvl").empty());
    // A file cut short holds only its complete records.
    std::filesystem::resize_file(base + "l.lvl", 8 + 1176 * 2 + 100);
    EXPECT_EQ(readlevelfile(base + "l.lvl").size(), 2u);
    EXPECT_EQ(readlevelrecord(base + "l.lvl", 3, &b), 0);
}

TEST_F(AztecBoard, AddStoneTakesTheFirstFreeSlotAndSetsChainLayers) {
    int a = addstone(32, 96, 4, 0);
    int b = addstone(96, 96, 5, 2);
    EXPECT_EQ(a, 1);
    EXPECT_EQ(b, 2);
    EXPECT_EQ(stone_chain[p][b][1], 1);
    EXPECT_EQ(stone_chain[p][b][2], 1);
    EXPECT_EQ(stone_chain[p][b][3], 0);
    stone_kind[p][a] = 0;
    stone_falling[p][a] = 1;
    EXPECT_EQ(addstone(160, 96, 6, 3), 1);
    EXPECT_EQ(stone_falling[p][1], 0);
    EXPECT_EQ(stone_chain[p][1][3], 1);
    for (int s = 3; s <= 156; ++s) addstone(0, 0, 21, 0);
    EXPECT_EQ(addstone(0, 0, 1, 0), 157);
    EXPECT_EQ(stone_kind[p][157], -1);
}

TEST_F(AztecBoard, StoneColours) {
    EXPECT_EQ(stonecolour(4), 4);
    EXPECT_EQ(stonecolour(14), 4);
    EXPECT_EQ(stonecolour(64), 4);
    for (int k : {0, -1, 10, 20, 21, 29, 55, 60, 71, 74, 91, 100}) EXPECT_EQ(stonecolour(k), 0) << k;
}

TEST_F(AztecBoard, PrepareLevelBuildsTheBoardFromTheCatalogue) {
    levelrecord rec = emptylevelrecord();
    rec.stonecode[1] = 3;
    rec.stonecode[2] = 15;
    rec.stonecode[3] = 72;
    rec.chaincode[3] = 1;
    rec.stonecode[4] = 92;
    rec.stonecode[5] = 9;
    rec.stonecode[144] = 0;
    for (int n = 13; n <= 24; ++n) rec.stonecode[n] = 61;
    usecatalogue("prepare", rec);
    prepare_level();
    EXPECT_EQ(count(10), 13);  // the floor row and one floor stone from the level
    for (int c = 0; c < 12; ++c) EXPECT_EQ(stoneat(p, colx(c), boardtop).kind, 10);
    EXPECT_EQ(stoneat(p, 32, 96).kind, 4);
    EXPECT_EQ(stoneat(p, 96, 96).kind, 21);
    Found g = stoneat(p, 160, 96);
    EXPECT_EQ(g.kind, 72);
    EXPECT_EQ(stone_chain[p][g.slot][1], 1);
    EXPECT_EQ(stone_chain[p][g.slot][2], 1);
    EXPECT_EQ(stone_chain[p][g.slot][3], 0);
    EXPECT_EQ(stoneat(p, 224, 96).kind, 92);
    EXPECT_EQ(stoneat(p, 736, 800).kind, 1);
    std::set<int> variants;
    for (int c = 0; c < 12; ++c) variants.insert(stoneat(p, colx(c), 160).kind);
    for (int k : variants) EXPECT_TRUE(k == 61 || k == 62 || k == 65 || k == 67 || k == 68 || k == 69) << k;
    EXPECT_EQ(cannonslot, 0);
    EXPECT_EQ(cannonx, boardleft + 320);
    EXPECT_EQ(cannony, 696);
    EXPECT_EQ(floorline, boardtop);
    EXPECT_EQ(colourstones, 100);
    EXPECT_EQ(shotcolour, 0);
    EXPECT_EQ(nextcolour, 1);
}

TEST_F(AztecBoard, ALevelWithoutStonesIsOnlyTheFloorAndIsWonAtFrame151) {
    usecatalogue("emptylevel", emptylevelrecord());
    prepare_level();
    EXPECT_EQ(count(10), 12);
    EXPECT_EQ(topslot == 0 || topslot == 12, true);
    level_frames = 0;
    int wonat = 0;
    for (int f = 1; f <= 160 && !wonat; ++f) {
        level_frames += 1;
        aztecframe();
        if (colourstones < 1 && level_frames > 100) wonat = level_frames;
    }
    EXPECT_EQ(wonat, 151);
}

TEST_F(AztecBoard, ACatalogueGoneWhileTheGameRunsIsNeverAFreeWin) {
    // Deleted after start: the level is built from the catalogue the game read then.
    levelrecord rec = emptylevelrecord();
    rec.stonecode[1] = 3;
    rec.stonecode[2] = 5;
    usecatalogue("catalogue-gone", rec);
    load_all_levels();
    std::filesystem::remove(basedir + "data/levelz/levels.lvl");
    testing::internal::CaptureStdout();
    prepare_level();
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("level 3 is missing"), std::string::npos) << out;
    EXPECT_NE(out.find("the catalogue read at start is used"), std::string::npos) << out;
    EXPECT_EQ(stoneat(p, 32, 96).kind, 4);
    EXPECT_EQ(stoneat(p, 96, 96).kind, 6);
    EXPECT_EQ(levelunreadable, 0);

    // Nothing read at all: only the floor shows, and the level is never won (nor lost, nor recorded).
    forgetkeptlevels();
    basedir = temp_folder("nocatalogue");
    curlevel = 4;
    playlevel = 4;
    level_type[4] = 1;
    testing::internal::CaptureStdout();
    prepare_level();
    out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("over jump level: 3"), std::string::npos);
    EXPECT_NE(out.find("level 4 is missing"), std::string::npos) << out;
    EXPECT_EQ(count(10), 12);
    EXPECT_EQ(levelunreadable, 1);
    level_frames = 0;
    emptybarframes = 200;
    for (int f = 1; f <= 300; ++f) {
        level_frames += 1;
        aztecframe();
        wintest();
        losetest();
    }
    EXPECT_EQ(wincount, 0);
    EXPECT_EQ(losecount, 0);
    emptybarframes = 0;
    levelunreadable = 0;
}

TEST_F(AztecBoard, AResumedBoardKeepsItsStonesAndScrollAndLoadsAFreshCannonStone) {
    levelrecord rec = emptylevelrecord();
    rec.stonecode[1] = 1;
    usecatalogue("resume", rec);
    floor();
    int a = put(3, 0, 6);
    int b = put(4, 0, 7, 1);
    levelinprogress[p] = 1;
    resumeflag = 1;
    savedscroll[p] = 8;
    savedfloorline[p] = -24;
    cannonslot = 40;
    prepare_level();
    EXPECT_EQ(stone_kind[p][a], 6);
    EXPECT_EQ(stone_kind[p][b], 7);
    EXPECT_EQ(stone_chain[p][b][1], 1);
    EXPECT_EQ(count(1), 0);  // the level's own stone is not added
    EXPECT_EQ(scrollleft, 8);
    EXPECT_EQ(floorline, -24);
    EXPECT_EQ(savedscroll[p], 0);
    EXPECT_EQ(cannonslot, 0);
    level_frames = 160;
    drawcannon();
    ASSERT_GT(cannonslot, 0);
    EXPECT_TRUE(stone_kind[p][cannonslot] == 6 || stone_kind[p][cannonslot] == 7);
}

TEST_F(AztecBoard, CountColoursIgnoresTheCannonStone) {
    floor();
    cannonslot = put(2, 8, 4);
    put(0, 0, 21);
    countcolours();
    EXPECT_EQ(colourstones, 0);
    EXPECT_EQ(nocolours, 1);
    put(1, 0, 13);
    put(2, 0, 63);
    countcolours();
    EXPECT_EQ(colourstones, 2);
    EXPECT_EQ(colourcount[3], 2);
    EXPECT_EQ(colourcount[4], 0);
}

TEST_F(AztecBoard, RandomStoneOffersOnlyColoursOnTheBoard) {
    floor();
    put(0, 0, 5);
    nextcolour = 1;
    randomstone();
    EXPECT_EQ(shotcolour, 5);
    EXPECT_EQ(nextcolour, 5);
    put(1, 0, 62);
    for (int i = 0; i < 200; ++i) {
        randomstone();
        ASSERT_TRUE(shotcolour == 5 || shotcolour == 2);
        ASSERT_TRUE(nextcolour == 5 || nextcolour == 2);
        ASSERT_NE(shotcolour, nextcolour);
    }
    // The stone shown as next is loaded while its colour is still there.
    int shown = nextcolour;
    randomstone();
    EXPECT_EQ(shotcolour, shown);
}

TEST_F(AztecBoard, AStoredScrollThatCouldNeverComeToRestIsIgnored) {
    floor();
    put(0, 0, 3);
    levelinprogress[p] = 1;
    resumeflag = 1;
    for (int stored : {3, -70, 1000}) {
        savedscroll[p] = stored;
        savedfloorline[p] = boardtop;
        testing::internal::CaptureStdout();
        prepare_board(nullptr);
        std::string out = testing::internal::GetCapturedStdout();
        EXPECT_EQ(scrollleft, 0) << stored;
        EXPECT_NE(out.find("is not a scroll position"), std::string::npos);
    }
    savedscroll[p] = -12;
    prepare_board(nullptr);
    EXPECT_EQ(scrollleft, -12);
}

TEST_F(AztecBoard, WithoutAChosenPlayerTheBoardUsesTheSpareRow) {
    curplayer = -1;
    for (int s = 0; s < BOARDSLOTS; ++s) stone_kind[0][s] = -1;
    levelinprogress[0] = 0;
    levelrecord rec = emptylevelrecord();
    rec.stonecode[1] = 2;
    prepare_board(&rec);
    EXPECT_EQ(boardrow(), 0);
    EXPECT_EQ(stone_kind[0][13], 3);
    level_frames = 200;
    drawcannon();
    updateboard();
    EXPECT_GT(cannonslot, 0);
    EXPECT_EQ(stone_kind[0][cannonslot], 3);
    curplayer = 1;
}
