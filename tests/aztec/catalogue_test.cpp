#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/shell.h"
#include "aztec/catalogue.h"
#include "match3/m3levels.h"
#include "platform/paths.h"
#include "support/catalogue.h"
#include "support/headless.h"

namespace {
class Catalogue : public ::testing::Test {
protected:
    std::string saved_base;
    std::string base;
    void SetUp() override {
        saved_base = basedir;
        base = temp_folder(::testing::UnitTest::GetInstance()->current_test_info()->name());
        basedir = base;
    }
    void TearDown() override { basedir = saved_base; }

    int stones(int level) {
        int n = 0;
        for (int s = 1; s < LEVELSTONES; ++s) n += level_stone_kind[level][s] != 0;
        return n;
    }
};
}  // namespace

TEST_F(Catalogue, EmptyCellsGiveTheTwelveFloorStonesOnly) {
    std::string path = write_levels(base, blank_levels());
    EXPECT_EQ((long)std::filesystem::file_size(path), 176408L);
    load_all_levels();
    for (int n = 1; n <= 150; ++n) {
        ASSERT_EQ(stones(n), 12) << "level " << n;
        EXPECT_EQ(level_colourstones[n], 0);
        EXPECT_EQ(level_animals[n], 0);
        EXPECT_EQ(level_type[n], 1);
        EXPECT_EQ(level_time2[n], 90);
        EXPECT_EQ(level_moves3[n], 20);
    }
    for (int c = 0; c < 12; ++c) {
        EXPECT_EQ(level_stone_kind[40][c + 1], 10);
        EXPECT_EQ(level_stone_x[40][c + 1], 32 + 64 * c);
        EXPECT_EQ(level_stone_y[40][c + 1], 32);
        EXPECT_EQ(level_stone_chains[40][c + 1], 0);
    }
}

TEST_F(Catalogue, CellsBecomeStonesWithKindsCountsAndChains) {
    auto levels = blank_levels();
    TestLevel& l = levels[3];
    l.challenge = 2;
    l.moves3 = 17;
    l.code[1] = 0;     // lowest row, first column: shares its y with the floor
    l.code[13] = 0;    // second row
    l.code[144] = 4;   // top right
    l.code[20] = 15;   // 10..19 read as 20: an inert stone, not a colour stone
    l.code[21] = 8;    // the last colour
    l.code[22] = 9;    // a floor stone is not counted
    l.code[23] = 92;   // an animal
    l.code[24] = 61;   // the random variant keeps code + 1 in the catalogue
    l.code[25] = 3;
    l.chain[25] = 1;   // two chains
    l.chain[26] = 2;   // a chain on an empty cell is ignored
    write_levels(base, levels);
    load_all_levels();

    EXPECT_EQ(level_challenge[3], 2);
    EXPECT_EQ(level_moves3[3], 17);
    EXPECT_EQ(stones(3), 12 + 9);
    // The cell stones follow the floor in cell order.
    struct { int kind, x, y; } want[] = {{1, 32, 32},   {1, 32, 96},  {21, 32 + 64 * 7, 96}, {9, 32 + 64 * 8, 96},
                                         {10, 32 + 64 * 9, 96}, {93, 32 + 64 * 10, 96}, {62, 32 + 64 * 11, 96},
                                         {4, 32, 160}, {5, 736, 736}};
    int slot = 13;
    for (auto w : want) {
        if (w.kind == 4) {  // the chained stone
            EXPECT_EQ(level_stone_chains[3][slot], 2);
            EXPECT_EQ(level_stone_chain[3][slot][1], 1);
            EXPECT_EQ(level_stone_chain[3][slot][2], 1);
            EXPECT_EQ(level_stone_chain[3][slot][3], 0);
        } else {
            EXPECT_EQ(level_stone_chains[3][slot], 0);
        }
        EXPECT_EQ(level_stone_kind[3][slot], w.kind) << "slot " << slot;
        EXPECT_EQ(level_stone_x[3][slot], w.x) << "slot " << slot;
        EXPECT_EQ(level_stone_y[3][slot], w.y) << "slot " << slot;
        ++slot;
    }
    EXPECT_EQ(level_colourstones[3], 5);  // codes 0, 0, 4, 8, 3
    EXPECT_EQ(level_animals[3], 1);
}

TEST_F(Catalogue, Match3CellsGoToTheMatch3TableAndOtherTypesStayEmpty) {
    auto levels = blank_levels();
    levels[7].type = 2;
    levels[7].code[14] = 82;  // column 1, row 1
    levels[7].code[2] = 1;    // read first: row 0 comes before row 1
    levels[7].code[3] = 5;    // not a match-3 code
    levels[7].code[30] = 83;
    levels[7].chain[14] = 2;
    levels[9].type = 3;
    levels[9].code[1] = 0;
    levels[9].time3 = 44;
    write_levels(base, levels);
    load_all_levels();

    EXPECT_EQ(stones(7), 0);
    EXPECT_EQ(level_colourstones[7], 0);
    const M3LevelCell* c = m3levelcells[7];
    EXPECT_EQ(c[1].column, 1);
    EXPECT_EQ(c[1].row, 0);
    EXPECT_EQ(c[1].mud, 0);
    EXPECT_EQ(c[2].column, 1);
    EXPECT_EQ(c[2].row, 1);
    EXPECT_EQ(c[2].used, 1);
    EXPECT_EQ(c[2].mud, 2);
    EXPECT_EQ(c[3].column, 5);
    EXPECT_EQ(c[3].row, 2);
    EXPECT_EQ(c[3].mud, 3);
    EXPECT_EQ(c[4].used, 0);

    EXPECT_EQ(stones(9), 0);
    EXPECT_EQ(level_time3[9], 44);
    EXPECT_EQ(m3levelcells[9][1].used, 0);
}

TEST_F(Catalogue, ASecondLoadReflectsOnlyTheEditedFile) {
    auto levels = blank_levels();
    levels[5].type = 2;
    levels[5].code[1] = 81;
    levels[6].code[50] = 2;
    write_levels(base, levels);
    load_all_levels();
    ASSERT_EQ(m3levelcells[5][1].used, 1);
    ASSERT_EQ(stones(6), 13);

    levels[5].type = 1;
    levels[6].code[50] = -1;
    levels[6].code[60] = 92;
    write_levels(base, levels);
    load_all_levels();
    EXPECT_EQ(m3levelcells[5][1].used, 0);
    EXPECT_EQ(stones(5), 12 + 1);
    EXPECT_EQ(level_stone_kind[5][13], 82);
    EXPECT_EQ(stones(6), 13);
    EXPECT_EQ(level_stone_kind[6][13], 93);
    EXPECT_EQ(level_colourstones[6], 0);
    EXPECT_EQ(level_animals[6], 1);
}

TEST_F(Catalogue, AddLevelStoneFillsTheFirstFreeSlotAndRefusesAFullList) {
    for (int s = 1; s < LEVELSTONES; ++s) level_stone_kind[200][s] = 0;
    EXPECT_EQ(addlevelstone(200, 1, 2, 5, 3), 1);
    EXPECT_EQ(level_stone_chain[200][1][3], 1);
    EXPECT_EQ(addlevelstone(200, 1, 2, 5, 4), 2);  // a count above 3 sets no layer
    EXPECT_EQ(level_stone_chain[200][2][1], 0);
    for (int s = 3; s < LEVELSTONES; ++s) EXPECT_EQ(addlevelstone(200, 0, 0, 1, 0), s);
    EXPECT_EQ(addlevelstone(200, 9, 9, 7, 0), 157);
    EXPECT_EQ(addlevelstone(0, 9, 9, 7, 0), 157);
    for (int s = 1; s < LEVELSTONES; ++s) level_stone_kind[200][s] = 0;
}

TEST_F(Catalogue, AMissingOrShortFileIsReportedAndTheTableKept) {
    auto levels = blank_levels();
    levels[1].code[1] = 0;
    write_levels(base, levels);
    load_all_levels();
    ASSERT_EQ(stones(1), 13);
    EXPECT_TRUE(levelfile_ok());

    // Absurd values are taken as they stand without overflow.
    levels[2].code[1] = 0x7fffffff;
    levels[2].chain[1] = 0x7fffffff;
    write_levels(base, levels, 176407);
    testing::internal::CaptureStdout();
    load_all_levels();
    EXPECT_FALSE(levelfile_ok());
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("load_all_levels()"), std::string::npos);
    EXPECT_NE(out.find("levels.lvl is too short (176407 of 176408 bytes)"), std::string::npos) << out;
    EXPECT_EQ(stones(1), 13);
    EXPECT_EQ(stones(2), 12);

    std::filesystem::remove(base + "data/levelz/levels.lvl");
    testing::internal::CaptureStdout();
    load_all_levels();
    out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("levels.lvl is missing"), std::string::npos) << out;
    EXPECT_EQ(stones(1), 13);
}

TEST(CatalogueStartup, WithoutLevelsTheGameStopsBeforeAnyWindow) {
    std::string dir = temp_folder("nolevels");
    pid_t child = fork();
    if (child == 0) {
        // The test binary's folder has no data/levelz/levels.lvl.
        if (!freopen((dir + "out.txt").c_str(), "w", stdout)) _exit(9);
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        setenv("XDG_DATA_HOME", dir.c_str(), 1);
        instancename = "test-nolevels-" + std::to_string(getpid());
        startup();
        _exit(7);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    std::stringstream out;
    out << std::ifstream(dir + "out.txt").rdbuf();
    if (WEXITSTATUS(status) == 0 && out.str().empty()) GTEST_SKIP() << "a game is running on this machine";
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_NE(out.str().find("levels.lvl is missing"), std::string::npos) << out.str();
    EXPECT_EQ(out.str().find("Window Size ok"), std::string::npos);
}
