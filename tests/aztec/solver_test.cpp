#include <cstdlib>
#include <filesystem>

#include "aztec/solver.h"
#include "boardfixture.h"
#include "support/headless.h"
#include "testboards.h"

TEST_F(AztecBoard, SavingAndRestoringTheStateReplaysAShotExactly) {
    levelrecord rec = testboards()[0];
    startsolverlevel(rec);
    for (int i = 0; i < 170; ++i) solverframe(boardleft + 32, 0, 0);
    boardsnapshot before, after;
    saveboardstate(&before);
    solverframe(boardleft + 96, 1, 0);
    for (int i = 0; i < 60; ++i) solverframe(boardleft + 96, 0, 0);
    saveboardstate(&after);
    int score = playerscore[p], shots = playshots[p];
    EXPECT_EQ(shots, 1);
    restoreboardstate(before);
    EXPECT_EQ(playshots[p], 0);
    solverframe(boardleft + 96, 1, 0);
    for (int i = 0; i < 60; ++i) solverframe(boardleft + 96, 0, 0);
    EXPECT_EQ(playerscore[p], score);
    EXPECT_EQ(playshots[p], shots);
    boardsnapshot again;
    saveboardstate(&again);
    for (int s = 1; s < BOARDSLOTS; ++s) {
        ASSERT_EQ(again.kind[s], after.kind[s]) << s;
        ASSERT_EQ(again.y[s], after.y[s]) << s;
    }
    EXPECT_EQ(again.rnd, after.rnd);
}

TEST_F(AztecBoard, TheSolverWinsEveryTestBoard) {
    std::vector<levelrecord> boards = testboards();
    for (size_t i = 0; i < boards.size(); ++i) {
        solveresult r = solvelevel(boards[i], 300);
        EXPECT_EQ(r.won, 1) << "board " << i + 1;
        EXPECT_GT(r.shots, 0) << "board " << i + 1;
        EXPECT_EQ(r.seconds, (r.frames - 220) / 50) << "board " << i + 1;
    }
}

TEST(LevelTool, SolveWinsTheTestBoardsAndFailsOnAnUnreadableFile) {
    std::string tool = build_dir() + "/ombrivale-levels";
    if (!std::filesystem::exists(tool)) GTEST_SKIP() << "ombrivale-levels is not built";
    std::string base = temp_folder("leveltool");
    ASSERT_EQ(writelevelfile(base + "boards.lvl", testboards()), 1);
    std::string out = base + "out.txt";
    int rc = std::system((tool + " solve " + base + "boards.lvl > " + out).c_str());
    EXPECT_EQ(WEXITSTATUS(rc), 0);
    rc = std::system((tool + " solve " + base + "missing.lvl 2> /dev/null").c_str());
    EXPECT_NE(WEXITSTATUS(rc), 0);
}
