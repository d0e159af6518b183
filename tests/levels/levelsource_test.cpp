#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "aztec/catalogue.h"
#include "aztec/levelsource.h"
#include "match3/m3levels.h"
#include "platform/paths.h"
#include "support/headless.h"

namespace {
std::string source(const std::string& header, const std::vector<std::string>& rows) {
    std::string s = header;
    for (const auto& r : rows) s += r + "\n";
    return s;
}

const std::string aztechead = "type aztec\nchallenge moves\ntime 40 70\nmoves 14 22\ngrid\n";
const std::string emptyrow = ". . . . . . . . . . . .";

std::vector<std::string> emptygrid() { return std::vector<std::string>(12, emptyrow); }

// "name:line:column: ..." of a source that must fail.
std::string failure(const std::string& text) {
    levelrecord rec;
    std::string error;
    EXPECT_FALSE(parselevelsource(text, "007.lvl", &rec, &error)) << text;
    return error;
}

bool samerecord(const levelrecord& a, const levelrecord& b) {
    int x[LEVELRECORD_INTS], y[LEVELRECORD_INTS];
    encodelevelrecord(a, x);
    encodelevelrecord(b, y);
    return std::memcmp(x, y, sizeof x) == 0;
}

std::string run(const std::string& command) {
    std::string out;
    FILE* p = popen(command.c_str(), "r");
    if (!p) return out;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    pclose(p);
    return out;
}
}  // namespace

TEST(LevelSource, EveryTokenReachesItsStoneAndChainCode) {
    std::vector<std::string> rows = emptygrid();
    rows[11] = "1 9 F I1 I9 V1 V3 V9 V? G1 G2 G3";
    rows[10] = "A1 A2 A3 x15 x-7 4+ 4++ 4+++ G2+ . x99/5 ./4";
    levelrecord rec;
    std::string error;
    ASSERT_TRUE(parselevelsource(source(aztechead, rows), "t.lvl", &rec, &error)) << error;
    const int bottom[12] = {0, 8, 9, 20, 28, 60, 62, 68, 61, 73, 72, 71};
    for (int c = 0; c < 12; ++c) {
        EXPECT_EQ(rec.stonecode[levelcell(c, 0)], bottom[c]) << c;
        EXPECT_EQ(rec.chaincode[levelcell(c, 0)], -1) << c;
    }
    const int second[12] = {91, 92, 93, 15, -7, 3, 3, 3, 72, -1, 99, -1};
    const int chains[12] = {-1, -1, -1, -1, -1, 0, 1, 2, 0, -1, 5, 4};
    for (int c = 0; c < 12; ++c) {
        EXPECT_EQ(rec.stonecode[levelcell(c, 1)], second[c]) << c;
        EXPECT_EQ(rec.chaincode[levelcell(c, 1)], chains[c]) << c;
    }
    // The first grid row written is the top row of the board.
    EXPECT_EQ(rec.stonecode[levelcell(0, 11)], -1);
    EXPECT_EQ(rec.challenge, 2);
    EXPECT_EQ(rec.type, 1);
    EXPECT_EQ(rec.time3, 40);
    EXPECT_EQ(rec.time2, 70);
    EXPECT_EQ(rec.moves3, 14);
    EXPECT_EQ(rec.moves2, 22);
    // And the text form gives the same record back.
    levelrecord again;
    ASSERT_TRUE(parselevelsource(formatlevelsource(rec), "t.lvl", &again, &error)) << error;
    EXPECT_TRUE(samerecord(rec, again));
}

TEST(LevelSource, MatchThreeGridsReadTopRowFirstAsOnScreen) {
    std::vector<std::string> rows = emptygrid();
    rows[0] = "o m1 m2 m3 . . . . . . . .";
    rows[11] = ". . . . . . . . . . . o";
    levelrecord rec;
    std::string error;
    ASSERT_TRUE(parselevelsource(source("type match3\nchallenge time\ntime 90 150\nmoves 1 1\ngrid\n", rows),
                                 "m.lvl", &rec, &error))
        << error;
    EXPECT_EQ(rec.type, 2);
    EXPECT_EQ(rec.stonecode[1], 1);
    EXPECT_EQ(rec.stonecode[2], 81);
    EXPECT_EQ(rec.stonecode[4], 83);
    EXPECT_EQ(rec.stonecode[144], 1);
    levelrecord again;
    ASSERT_TRUE(parselevelsource(formatlevelsource(rec), "m.lvl", &again, &error)) << error;
    EXPECT_TRUE(samerecord(rec, again));
    // Stones are not match-3 cells, and match-3 cells are not stones.
    rows[5] = ". . 3 . . . . . . . . .";
    EXPECT_EQ(failure(source("type match3\nchallenge time\ntime 9 9\nmoves 1 1\ngrid\n", rows)),
              "007.lvl:11:5: unknown match-3 cell '3'");
    std::vector<std::string> az = emptygrid();
    az[2] = ". m2 . . . . . . . . . .";
    EXPECT_EQ(failure(source(aztechead, az)), "007.lvl:8:3: unknown aztec cell 'm2'");
}

TEST(LevelSource, ErrorsNameTheLineAndColumn) {
    std::vector<std::string> rows = emptygrid();
    rows[3] = ". . . . Q . . . . . . .";
    EXPECT_EQ(failure(source(aztechead, rows)), "007.lvl:9:9: unknown aztec cell 'Q'");
    rows = emptygrid();
    rows[0] = ". . . . . . . . . . .";
    EXPECT_EQ(failure(source(aztechead, rows)), "007.lvl:6:22: a grid row needs 12 cells, found 11");
    rows[0] = ". . . . . . . . . . . . 1";
    EXPECT_EQ(failure(source(aztechead, rows)), "007.lvl:6:25: a grid row needs 12 cells, found 13");
    rows = emptygrid();
    rows.pop_back();
    EXPECT_EQ(failure(source(aztechead, rows)), "007.lvl:17:1: the grid started on line 5 has 11 of 12 rows");
    rows = emptygrid();
    rows.push_back("1");
    EXPECT_EQ(failure(source(aztechead, rows)), "007.lvl:18:1: text after the 12 grid rows");
    EXPECT_EQ(failure(source("type aztec\nchallenge time\ntime 70 40\nmoves 1 2\ngrid\n", emptygrid())),
              "007.lvl:3:9: the 2-star mark 40 is below the 3-star mark 70");
    EXPECT_EQ(failure(source("type aztec\nchallenge time\ntime 1 2\n  moves 9 x\ngrid\n", emptygrid())),
              "007.lvl:4:11: a number is needed here");
    EXPECT_EQ(failure(source("type aztec\ntime 1 2\nmoves 1 2\ngrid\n", emptygrid())),
              "007.lvl:4:1: 'challenge' must come before the grid");
    EXPECT_EQ(failure(source("type puzzle\n", {})), "007.lvl:1:6: unknown type 'puzzle'");
    EXPECT_EQ(failure("type aztec\ntype aztec\n"), "007.lvl:2:1: 'type' is given twice");
    EXPECT_EQ(failure("# only a comment\n"), "007.lvl:2:1: the level has no grid");
    EXPECT_EQ(failure("level 3\n"), "007.lvl:1:1: unknown keyword 'level'");
    rows = emptygrid();
    rows[11] = "V2 . . . . . . . . . . .";
    EXPECT_EQ(failure(source(aztechead, rows)), "007.lvl:17:1: there is no fixed variant of colour 2");
    rows[11] = "1++++ . . . . . . . . . . .";
    EXPECT_EQ(failure(source(aztechead, rows)), "007.lvl:17:2: a stone takes one to three chains '+'");
    rows[11] = ".+ . . . . . . . . . . .";
    EXPECT_EQ(failure(source(aztechead, rows)), "007.lvl:17:1: an empty cell cannot be chained");
    rows[11] = "x99999999999 . . . . . . . . . . .";
    EXPECT_EQ(failure(source(aztechead, rows)), "007.lvl:17:1: unknown aztec cell 'x99999999999'");
}

TEST(LevelSource, FoldersNeedNumberedSourcesWithoutGaps) {
    std::string dir = temp_folder("levelfolder");
    std::vector<levelrecord> levels;
    std::string error;
    EXPECT_FALSE(readlevelsources(dir, &levels, &error));
    EXPECT_NE(error.find("no level sources"), std::string::npos) << error;
    std::string text = source(aztechead, emptygrid());
    std::ofstream(dir + "001.lvl") << text;
    std::ofstream(dir + "003.lvl") << text;
    EXPECT_FALSE(readlevelsources(dir, &levels, &error));
    EXPECT_EQ(error, dir + ": 002.lvl is missing");
    std::ofstream(dir + "002.lvl") << "type aztec\r\nchallenge time\r\nwhat\r\n";
    EXPECT_FALSE(readlevelsources(dir, &levels, &error));
    EXPECT_EQ(error, dir + "002.lvl:3:1: unknown keyword 'what'");
    std::ofstream(dir + "002.lvl") << text;
    ASSERT_TRUE(readlevelsources(dir, &levels, &error)) << error;
    EXPECT_EQ(levels.size(), 3u);
    std::ofstream(dir + "12.lvl") << text;
    EXPECT_FALSE(readlevelsources(dir, &levels, &error));
    EXPECT_NE(error.find("named 001.lvl to 150.lvl"), std::string::npos) << error;
}

TEST(LevelTool, CompileDumpAndTheGamesReaderAgreeWithTheSources) {
    const std::string tool = build_dir() + "/ombrivale-levels";
    if (!std::filesystem::exists(tool)) GTEST_SKIP() << "ombrivale-levels is not built";
    const std::string assets = std::string(OMBRIVALE_SOURCE_DIR) + "/assets/levels";
    std::vector<levelrecord> sources;
    std::string error;
    ASSERT_TRUE(readlevelsources(assets, &sources, &error)) << error;

    const std::string base = temp_folder("compiled");
    const std::string out = base + "data/levelz/levels.lvl";
    int rc = std::system((tool + " compile " + assets + " " + out + " > /dev/null").c_str());
    ASSERT_EQ(WEXITSTATUS(rc), 0);
    ASSERT_EQ((long)std::filesystem::file_size(out), levelfile_bytes);
    int magic = 0, version = 0;
    ASSERT_TRUE(readcatalogueheader(out, &magic, &version));
    EXPECT_EQ(magic, LEVELFILE_MAGIC);
    EXPECT_EQ(version, LEVELFILE_VERSION);

    // The dump, cut at its level markers, parses back into the very records of the file.
    std::vector<levelrecord> file = readlevelfile(out);
    ASSERT_EQ(file.size(), (size_t)CATALOGUE_LEVELS);
    std::string dump = run(tool + " dump " + out);
    size_t at = 0;
    for (int n = 1; n <= CATALOGUE_LEVELS; ++n) {
        char marker[32];
        std::snprintf(marker, sizeof marker, "=== level %03d", n);
        at = dump.find(marker, at);
        ASSERT_NE(at, std::string::npos) << marker;
        size_t body = dump.find('\n', at) + 1;
        size_t next = dump.find("=== level", body);
        std::string text = dump.substr(body, next == std::string::npos ? std::string::npos : next - body);
        const std::string title = dump.substr(at, body - at);
        levelrecord rec;
        if (title.find("unused") != std::string::npos) {
            rec = unusedlevelrecord();
        } else {
            ASSERT_TRUE(parselevelsource(text, marker, &rec, &error)) << error;
        }
        EXPECT_TRUE(samerecord(rec, file[(size_t)n - 1])) << n;
        if (n <= (int)sources.size()) {
            EXPECT_TRUE(samerecord(rec, sources[(size_t)n - 1])) << n;
        }
        at = body;
    }

    // The game's own reader: thresholds, colour and animal counts, match-3 cells and their mud.
    const std::string saved = basedir;
    basedir = base;
    load_all_levels();
    basedir = saved;
    for (size_t i = 0; i < sources.size(); ++i) {
        const int n = (int)i + 1;
        const levelrecord& r = sources[i];
        EXPECT_EQ(level_type[n], r.type) << n;
        EXPECT_EQ(level_challenge[n], r.challenge) << n;
        EXPECT_EQ(level_time3[n], r.time3) << n;
        EXPECT_EQ(level_time2[n], r.time2) << n;
        EXPECT_EQ(level_moves3[n], r.moves3) << n;
        EXPECT_EQ(level_moves2[n], r.moves2) << n;
        int colours = 0, animals = 0, cells = 0, mud = 0;
        for (int c = 1; c <= CATALOGUE_CELLS; ++c) {
            const int code = r.stonecode[c];
            colours += code >= 0 && code <= 8;
            animals += code >= 91 && code <= 93;
            cells += code == 1 || (code >= 81 && code <= 83);
            mud += code >= 81 && code <= 83 ? code - 80 : 0;
        }
        if (r.type == 1) {
            EXPECT_EQ(level_colourstones[n], colours) << n;
            EXPECT_EQ(level_animals[n], animals) << n;
        } else {
            int seen = 0, seenmud = 0;
            for (int s = 1; s < M3CELLSLOTS; ++s)
                if (m3levelcells[n][s].used) {
                    seen += 1;
                    seenmud += m3levelcells[n][s].mud;
                }
            EXPECT_EQ(seen, cells) << n;
            EXPECT_EQ(seenmud, mud) << n;
        }
    }
    for (int n = (int)sources.size() + 1; n <= CATALOGUE_LEVELS; ++n) EXPECT_EQ(level_type[n], 0) << n;
}

TEST(LevelTool, ABrokenSourceStopsTheCompileAndLeavesNoCatalogue) {
    const std::string tool = build_dir() + "/ombrivale-levels";
    if (!std::filesystem::exists(tool)) GTEST_SKIP() << "ombrivale-levels is not built";
    std::string dir = temp_folder("broken");
    std::vector<std::string> rows = emptygrid();
    rows[2] = ". . . 7 7 Z . . . . . .";
    std::ofstream(dir + "001.lvl") << source(aztechead, rows);
    std::string messages = run(tool + " compile " + dir + " " + dir + "out.lvl 2>&1; echo rc=$?");
    EXPECT_NE(messages.find(dir + "001.lvl:8:11: unknown aztec cell 'Z'"), std::string::npos) << messages;
    EXPECT_NE(messages.find("rc=1"), std::string::npos) << messages;
    EXPECT_FALSE(std::filesystem::exists(dir + "out.lvl"));
}

TEST(LevelSource, NewMarksReplaceOnlyTheMarkLinesAndTheMeasuredNote) {
    const std::string grid = "grid\n" + std::string("1 . . . . . . . . . . 2\n");
    std::string text = "# Some region, level 3: a title\n# measured: old play\ntype aztec\nchallenge moves\n"
                       "time 40 70\nmoves 14 22\n" + grid;
    std::string out = withmarks(text, 11, 22, 33, 44, "# measured: new play");
    EXPECT_EQ(out, "# Some region, level 3: a title\n# measured: new play\ntype aztec\nchallenge moves\n"
                   "time 11 22\nmoves 33 44\n" + grid);
    // A source without a note gets one after its title line; a grid row is never taken for a mark line.
    text = "# title\ntype aztec\nchallenge time\ntime 1 2\nmoves 3 4\ngrid\ntime\n";
    EXPECT_EQ(withmarks(text, 5, 6, 7, 8, "# measured: x"),
              "# title\n# measured: x\ntype aztec\nchallenge time\ntime 5 6\nmoves 7 8\ngrid\ntime\n");
    // Without a note the old one stays.
    EXPECT_EQ(withmarks("# a\n# measured: y\ntime 1 2\n", 3, 4, 0, 0, ""), "# a\n# measured: y\ntime 3 4\n");
}

TEST(LevelSource, MarksGrowWithThePlayAndTheMudAndLeaveRoomForTwoStars) {
    int t3, t2, m3, m2;
    aztecmarks(20, 12, &t3, &t2, &m3, &m2);
    EXPECT_GE(m3 - 6, 20);  // the measured play earns three stars at the hardest difficulty
    EXPECT_GT(m2, m3);
    EXPECT_GT(t3, 12);
    EXPECT_GT(t2, t3);
    int t3b, t2b, m3b, m2b;
    aztecmarks(60, 40, &t3b, &t2b, &m3b, &m2b);
    EXPECT_GT(m3b, m3);
    EXPECT_GT(t3b, t3);
    levelrecord plain = emptylevelrecord(), muddy = emptylevelrecord();
    plain.type = muddy.type = 2;
    for (int n = 1; n <= 36; ++n) plain.stonecode[n] = 81, muddy.stonecode[n] = 83;
    int p3, p2, d3, d2;
    match3marks(plain, &p3, &p2);
    match3marks(muddy, &d3, &d2);
    EXPECT_GT(d3, p3 + 36);  // two more layers on each of 36 cells
    EXPECT_GT(p2, p3);
    EXPECT_GT(d2, d3);
}
