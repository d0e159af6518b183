// Session journals: the reader against whole, cut and damaged journals, and the game binary playing the
// recorded journals of tests/replays/ back under changed conditions.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/bugreport.h"
#include "app/cmdline.h"
#include "app/journal.h"
#include "app/replay.h"
#include "app/shell.h"
#include "storage/settings.h"
#include "support/headless.h"

namespace {
std::string slurp(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
}

void spit(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary).write(bytes.data(), (std::streamsize)bytes.size());
}

int parse(const std::string& bytes, journaldata* j, std::string* error) {
    return journal_parse((const uint8_t*)bytes.data(), bytes.size(), j, error);
}

// A small journal: two user files, a mouse path, a held button, typed characters, focus events, ticks,
// held frames, checks and the summary.
std::string samplejournal(bool summary = true) {
    journaldata j;
    jheader& h = j.header;
    h.version = gameversion();
    h.levelshash = 0x1234;
    h.textshash = 0x5678;
    h.virtw = 1024;
    h.virth = 768;
    h.desktopw = 1920;
    h.desktoph = 1080;
    h.seed = -77;
    h.files = {{"settings.txt", "1\r\n1\r\n"}, {"players1.ppp", std::string(300, '\0')}};
    jframe f;
    f.mx = 500;
    f.my = 300;
    f.tick1 = 1;
    j.runs.push_back({f, 49});
    jframe g = jframe_held(f);
    g.mx = -3;  // off the left edge of a letterboxed screen
    g.down1 = 1;
    g.hit1 = 1;
    g.keys = JKEY_ESCAPE | JKEY_F8;
    g.chars = {'A', 8, 13};
    g.events = {1, 0};
    g.close = 1;
    j.runs.push_back({g, 1001});
    j.frames = 1050;
    j.checks = {{50, 0xbeef}, {100, 0xface}};
    j.finished = summary;
    j.summary.frames = 1050;
    j.summary.screen = 13;
    j.summary.level = 3;
    j.summary.score = 4200;
    j.summary.statesum = 7;
    j.summary.filesum = 9;
    return journal_write_all(j, 400);
}

std::string gamebinary() { return build_dir() + "/ombrivale"; }
std::string replays() { return std::string(OMBRIVALE_SOURCE_DIR) + "/tests/replays/"; }

// Runs a command; returns its exit status (-1 when it died of a signal) and its output.
int run(const std::string& cmd, std::string* out) {
    out->clear();
    FILE* p = popen((cmd + " 2>&1").c_str(), "r");
    if (!p) return -1;
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) out->append(buf, n);
    int st = pclose(p);
    return WIFEXITED(st) ? WEXITSTATUS(st) : -1;
}

std::string summaryline(const std::string& out) {
    size_t at = out.find("summary:");
    return at == std::string::npos ? std::string() : out.substr(at, out.find('\n', at) - at);
}
}  // namespace

TEST(JournalReader, ReadsBackEverythingWritten) {
    journaldata j;
    std::string error;
    ASSERT_EQ(parse(samplejournal(), &j, &error), JOURNAL_COMPLETE) << error;
    EXPECT_EQ(j.header.version, gameversion());
    EXPECT_EQ(j.header.seed, -77);
    EXPECT_EQ(j.header.desktopw, 1920);
    ASSERT_EQ(j.header.files.size(), 2u);
    EXPECT_EQ(j.header.files[0].name, "settings.txt");
    EXPECT_EQ(j.header.files[0].bytes, "1\r\n1\r\n");
    EXPECT_EQ(j.header.files[1].bytes.size(), 300u);
    EXPECT_EQ(j.frames, 1050);
    ASSERT_EQ(j.runs.size(), 4u);
    EXPECT_EQ(j.runs[0].frame.mx, 500);
    EXPECT_EQ(j.runs[0].frame.tick1, 1);
    EXPECT_EQ(j.runs[1].count, 48);
    EXPECT_EQ(j.runs[1].frame.tick1, 0);  // a held frame keeps the position, not the one-off ticks
    const jframe& g = j.runs[2].frame;
    EXPECT_EQ(g.mx, -3);
    EXPECT_EQ(g.my, 300);
    EXPECT_EQ(g.hit1, 1);
    EXPECT_EQ(g.down1, 1);
    EXPECT_EQ(g.keys, JKEY_ESCAPE | JKEY_F8);
    EXPECT_EQ(g.chars, (std::vector<uint8_t>{'A', 8, 13}));
    EXPECT_EQ(g.events, (std::vector<uint8_t>{1, 0}));
    EXPECT_EQ(g.close, 1);
    EXPECT_EQ(j.runs[3].count, 1000);
    EXPECT_EQ(j.runs[3].frame.down1, 1);
    EXPECT_EQ(j.runs[3].frame.hit1, 0);
    ASSERT_EQ(j.checks.size(), 2u);
    EXPECT_EQ(j.checks[1].frame, 100);
    EXPECT_EQ(j.checks[1].sum, 0xfaceu);
    EXPECT_EQ(j.summary.score, 4200);
    // Written again from what was read, the same bytes.
    EXPECT_EQ(journal_write_all(j, 400), samplejournal());
}

// Every kind of value the frame coder meets comes back as it went in: pointer jumps of every size and
// direction, slow and fast strokes, timer ticks early, late and several at once, presses without the button
// held, every key, focus changes and typed bytes of every value.
TEST(JournalReader, FramesComeBackExactlyWhateverTheyHold) {
    journaldata j;
    j.header.virtw = 1024;
    j.header.virth = 768;
    uint32_t r = 12345;
    auto next = [&r](int n) {
        r = r * 1103515245u + 12345u;
        return (int)((r >> 8) % (uint32_t)n);
    };
    std::vector<jframe> frames;
    jframe f;
    for (int i = 0; i < 6000; ++i) {
        jframe g = jframe_held(f);
        const int kind = next(10);
        if (kind < 4) {  // a stroke: the step changes a little
            g.mx += (f.mx - (frames.size() > 1 ? frames[frames.size() - 2].mx : 0)) + next(5) - 2;
            g.my += next(7) - 3;
        } else if (kind == 4) {  // a jump anywhere, even far off the screen
            g.mx = next(200001) - 100000;
            g.my = next(3000) - 1500;
        }
        g.mx = std::clamp(g.mx, -100000, 100000);  // as far as a pointer may go
        g.my = std::clamp(g.my, -100000, 100000);
        if (next(40) == 0) g.tick1 = 1 + next(15);
        if (next(45) == 0) g.tick2 = 1 + next(15);
        if (next(30) == 0) g.down1 = !g.down1;
        if (next(25) == 0) g.keys = next(256);
        if (next(30) == 0) g.hit1 = 1 + next(3);
        if (next(50) == 0) g.hit2 = 1 + next(3);
        if (next(200) == 0) g.close = 1;
        if (next(80) == 0)
            // Mostly focus events, now and then the stop (2) or a code of the others to come (up to 15).
            for (int e = next(5); e > 0; --e) g.events.push_back((uint8_t)(next(6) == 0 ? next(16) : next(2)));
        if (next(60) == 0)
            for (int c = next(9); c > 0; --c) g.chars.push_back((uint8_t)next(256));
        frames.push_back(g);
        f = g;
        j.runs.push_back({g, 1});
    }
    j.frames = (int)frames.size();
    for (int c = 50; c <= j.frames; c += 100) j.checks.push_back({c, (uint32_t)next(65536)});
    std::string bytes = journal_write_all(j, 333);
    journaldata back;
    std::string error;
    ASSERT_EQ(parse(bytes, &back, &error), JOURNAL_CUT) << error;  // no summary
    ASSERT_EQ(back.frames, j.frames);
    int at = 0;
    for (const jrun& run : back.runs)
        for (int k = 0; k < run.count; ++k, ++at) {
            const jframe& want = frames[at];
            const jframe got = k == 0 ? run.frame : jframe_held(run.frame);
            ASSERT_TRUE(got.mx == want.mx && got.my == want.my && got.down1 == want.down1 &&
                        got.keys == want.keys && got.hit1 == want.hit1 && got.hit2 == want.hit2 &&
                        got.tick1 == want.tick1 && got.tick2 == want.tick2 && got.close == want.close &&
                        got.events == want.events && got.chars == want.chars)
                << "frame " << at + 1;
        }
    ASSERT_EQ(back.checks.size(), j.checks.size());
    for (size_t i = 0; i < j.checks.size(); ++i) {
        EXPECT_EQ(back.checks[i].frame, j.checks[i].frame);
        EXPECT_EQ(back.checks[i].sum, j.checks[i].sum);
    }
}

TEST(JournalReader, CutJournalsKeepTheirWholeFramesAndDamagedOnesAreRefused) {
    const std::string whole = samplejournal();
    journaldata j;
    std::string error;
    // A session that did not end: everything up to the end, no summary.
    ASSERT_EQ(parse(samplejournal(false), &j, &error), JOURNAL_CUT);
    EXPECT_EQ(j.frames, 1050);
    EXPECT_NE(error.find("without its summary"), std::string::npos) << error;
    // Every cut gives a plain answer, never more frames than were written.
    for (size_t n = 0; n < whole.size(); ++n) {
        int r = parse(whole.substr(0, n), &j, &error);
        EXPECT_NE(r, JOURNAL_COMPLETE) << n;
        EXPECT_FALSE(error.empty()) << n;
        if (r == JOURNAL_CUT) {
            EXPECT_LE(j.frames, 1050);
        }
    }
    // Each byte flipped in turn: an answer with a reason, and a complete journal only when the change is harmless.
    for (size_t n = 0; n < whole.size(); ++n) {
        std::string bad = whole;
        bad[n] = (char)(bad[n] ^ 0x5a);
        int r = parse(bad, &j, &error);
        if (r != JOURNAL_COMPLETE) {
            EXPECT_FALSE(error.empty()) << n;
        }
    }
    // Damage the CRCs would catch, with the CRCs mended: the frame decoder itself still answers.
    const size_t headerlen = journal_header_bytes(j.header).size();
    std::vector<std::pair<size_t, size_t>> blocks;  // where each block starts and how long it is
    for (size_t at = headerlen; at < whole.size();) {
        size_t p = at + 1, len = 0;
        for (int field = 0; field < 2; ++field) {
            len = 0;
            for (int shift = 0;; shift += 7) {
                const uint8_t b = (uint8_t)whole[p++];
                len |= (size_t)(b & 0x7f) << shift;
                if (!(b & 0x80)) break;
            }
        }
        blocks.push_back({at, p + len + 4 - at});
        at = p + len + 4;
    }
    ASSERT_GE(blocks.size(), 3u);  // three blocks of frames and the summary
    for (const auto& [start, len] : blocks)
        for (size_t n = start + 1; n < start + len - 4; ++n) {
            std::string bad = whole;
            bad[n] = (char)(bad[n] ^ 0x21);
            const uint32_t crc = journal_crc(0, bad.data() + start, len - 4);
            for (int i = 0; i < 4; ++i) bad[start + len - 4 + i] = (char)(crc >> (8 * i));
            int r = parse(bad, &j, &error);
            if (r != JOURNAL_COMPLETE) {
                EXPECT_FALSE(error.empty()) << n;
            }
            EXPECT_LE(j.frames, 1050 + 0x7fff) << n;
        }
    EXPECT_EQ(parse("hello, world", &j, &error), JOURNAL_BAD);
    EXPECT_NE(error.find("not a journal"), std::string::npos);
    // A user file named to climb out of the replay's folder is refused.
    journaldata evil;
    evil.header.virtw = 1024;
    evil.header.virth = 768;
    evil.header.files = {{"../../.bashrc", "x"}};
    EXPECT_EQ(parse(journal_write_all(evil), &j, &error), JOURNAL_BAD);
    // A journal of the format before this one is refused with a reason, not misread.
    std::string old = whole;
    old[8] = 1;
    EXPECT_EQ(parse(old, &j, &error), JOURNAL_BAD);
    EXPECT_NE(error.find("journal format 1 is from an older game"), std::string::npos) << error;
}

TEST(JournalReader, TheRecordedJournalsAreWholeAndSmall) {
    int seen = 0;
    for (const auto& e : std::filesystem::directory_iterator(replays())) {
        if (e.path().extension() != ".ojr") continue;
        ++seen;
        std::string bytes = slurp(e.path().string());
        journaldata j;
        std::string error;
        ASSERT_EQ(parse(bytes, &j, &error), JOURNAL_COMPLETE) << e.path() << ": " << error;
        EXPECT_GT(j.frames, 300);
        EXPECT_FALSE(j.checks.empty());
    }
    EXPECT_GE(seen, 3);
}

// The long session of tests/replays/long/: more than ten minutes of mixed play with the pointer under a hand
// that is moving in most frames. Its journal, user files and all, stays under 100 KB for an hour of play.
TEST(JournalReader, AnHourOfRealPlayTakesUnder100KB) {
    std::string bytes = slurp(replays() + "long/session.ojr");
    journaldata j;
    std::string error;
    ASSERT_EQ(parse(bytes, &j, &error), JOURNAL_COMPLETE) << error;
    ASSERT_GE(j.frames, 30000);
    long moving = 0;
    for (size_t i = 1; i < j.runs.size(); ++i)
        moving += j.runs[i].frame.mx != j.runs[i - 1].frame.mx || j.runs[i].frame.my != j.runs[i - 1].frame.my;
    EXPECT_GT(moving, j.frames / 2);
    // Written again by this build's writer, in the blocks a recording makes.
    const double perhour = (double)journal_write_all(j).size() / (j.frames / 50.0 / 3600);
    std::printf("journal: %.1f KB per hour of play (%d frames, %ld with the pointer moving)\n", perhour / 1000,
                j.frames, moving);
    EXPECT_LT(perhour, 100e3);
}

TEST(BugReport, RingKeepsTheLastLinesAndTheBundleIsATarGz) {
    for (int i = 1; i <= 600; ++i) {
        std::string l = "line " + std::to_string(i) + "\n";
        stdout_ring_add(l.data(), l.size());
    }
    std::string text = stdout_ring_text();
    EXPECT_EQ(text.rfind("line 101\n", 0), 0u);
    EXPECT_NE(text.find("line 600\n"), std::string::npos);
    EXPECT_EQ(text.find("line 100\n"), std::string::npos);

    std::string dir = temp_folder("bundle");
    spit(dir + "b.tar.gz", targz({{"r/a.txt", "alpha"}, {"r/user/players1.ppp", std::string(1000, 'x')}}));
    std::string out;
    ASSERT_EQ(run("tar -xzf " + dir + "b.tar.gz -C " + dir, &out), 0) << out;
    EXPECT_EQ(slurp(dir + "r/a.txt"), "alpha");
    EXPECT_EQ(slurp(dir + "r/user/players1.ppp"), std::string(1000, 'x'));
}

// The game binary itself plays the recorded journals.
class Replays : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::filesystem::exists(gamebinary()) || !std::filesystem::exists(replays() + "options.ojr"))
            GTEST_SKIP() << "game binary or recorded journals missing";
    }
    // Headless unless `extra` asks for a window (drawn on SDL's dummy video driver, as fast as it goes).
    std::string play(const std::string& journal, const std::string& extra, int* status) {
        std::string out;
        std::string mode = extra.find("--window") == std::string::npos ? " --headless " : " --fast ";
        *status = run(gamebinary() + " --replay " + journal + mode + extra, &out);
        return out;
    }
};

TEST_F(Replays, PlaysTheSameInAnotherDisplayModeAndTwiceAlike) {
    int a, b, c;
    // Recorded in full screen at 1024 x 768 and switched to the window and back during the session; played
    // without drawing, and drawn into windows of other sizes and shapes.
    std::string full = play(replays() + "options.ojr", "--check", &a);
    std::string small = play(replays() + "options.ojr", "--check --window 600x450", &b);
    std::string wide = play(replays() + "options.ojr", "--check --window 1280x720", &c);
    EXPECT_EQ(a, 0) << full;
    EXPECT_EQ(b, 0) << small;
    EXPECT_EQ(c, 0) << wide;
    EXPECT_FALSE(summaryline(full).empty());
    EXPECT_EQ(summaryline(full), summaryline(small));
    EXPECT_EQ(summaryline(full), summaryline(wide));
}

TEST_F(Replays, AChangedRuleFailsTheCheckAtANamedFrame) {
    int st;
    std::string out = play(replays() + "chapter1.ojr", "--check --rule comboframes=5", &st);
    EXPECT_EQ(st, 1) << out;
    EXPECT_NE(out.find("check: the game differs from the journal at frame "), std::string::npos) << out;
}

TEST_F(Replays, DamagedOrForeignJournalsGiveAClearErrorNotACrash) {
    std::string dir = temp_folder("foreign");
    std::string bytes = slurp(replays() + "options.ojr");
    int st;
    // Cut in its last frames: nothing to check against; cut in its user files: nothing to play.
    spit(dir + "cut.ojr", bytes.substr(0, bytes.size() - 30));
    std::string out = play(dir + "cut.ojr", "--check", &st);
    EXPECT_EQ(st, 2);
    EXPECT_NE(out.find("cannot check"), std::string::npos) << out;
    spit(dir + "cut.ojr", bytes.substr(0, 200));
    out = play(dir + "cut.ojr", "", &st);
    EXPECT_EQ(st, 2);
    EXPECT_NE(out.find("cannot play"), std::string::npos) << out;
    spit(dir + "junk.ojr", "OMBJRNL1" + std::string(100, '\xff'));
    out = play(dir + "junk.ojr", "", &st);
    EXPECT_EQ(st, 2);
    EXPECT_NE(out.find("cannot play"), std::string::npos) << out;
    // A journal an older game wrote, in the format before this one.
    out = play(std::string(OMBRIVALE_SOURCE_DIR) + "/tests/fuzz/corpus/journal/format1-options.ojr", "--check", &st);
    EXPECT_EQ(st, 2);
    EXPECT_NE(out.find("journal format 1 is from an older game; this one plays format 2"), std::string::npos) << out;
    // Another game version: refused, and played with a warning under --force.
    journaldata j;
    std::string error;
    ASSERT_EQ(parse(bytes, &j, &error), JOURNAL_COMPLETE) << error;
    EXPECT_EQ(j.header.version, gameversion());
    j.header.version = "0.0.19";
    spit(dir + "other.ojr", journal_write_all(j));
    out = play(dir + "other.ojr", "--check", &st);
    EXPECT_EQ(st, 2);
    EXPECT_NE(out.find("--force"), std::string::npos) << out;
    out = play(dir + "other.ojr", "--check --force", &st);
    EXPECT_EQ(st, 0) << out;
    EXPECT_NE(out.find("warning: the journal was recorded by version 0.0.19"), std::string::npos) << out;
}

TEST(JournalRecording, AnUnwritableFolderDropsTheJournalWithOneLineAndPlayGoesOn) {
    headless();
    const std::string saved = userpath;
    userpath = temp_folder("unwritable");
    spit(userpath + "settings.txt", "0\r\n3\r\n");
    ::testing::internal::CaptureStdout();
    journal_record_to("/proc/no-such-folder/session.ojr");
    journal_userfiles();
    journal_seed(99);
    for (int i = 0; i < 120; ++i) {
        jframe in;
        in.mx = i;
        journal_frame(&in);
        EXPECT_EQ(frameinput.mx, i);
        journal_afterframe();
    }
    journal_end();
    std::string out = ::testing::internal::GetCapturedStdout();
    journal_drop();
    userpath = saved;
    EXPECT_EQ(out, "journal not recorded: its folder cannot be written\n");
    EXPECT_EQ(journal_path(), "");
}

namespace {
int writesleft = -1;  // writes that still reach the file (-1: all of them)
size_t fillingdisk(const void* p, size_t size, size_t n, FILE* f) {
    if (writesleft == 0) return 0;
    if (writesleft > 0) --writesleft;
    return std::fwrite(p, size, n, f);
}

struct recorded {
    std::string out, journal, settings, profile;
    std::vector<std::vector<int>> frames;  // what the game read each frame, and where its timers stood
    int pathafter = 0;
};

// A session of 3000 frames recorded into a user folder of its own; `writes` writes reach the journal's file.
recorded session(int writes) {
    recorded r;
    const std::string saved = userpath;
    userpath = temp_folder(writes < 0 ? "diskok" : "diskfull");
    spit(userpath + "settings.txt", "0\r\n3\r\n");
    spit(userpath + "players1.ppp", std::string(5000, '\x07'));
    writesleft = writes;
    journal_fwrite = fillingdisk;
    ::testing::internal::CaptureStdout();
    journal_record_to(userpath + "journals/s.ojr");
    journal_paceclock(1);
    journal_userfiles();
    journal_seed(7);
    for (int i = 0; i < 3000; ++i) {
        jframe in;
        in.mx = i * 7 % 1024;
        in.my = 300 + i / 3 % 50;
        in.down1 = i / 100 % 2;
        in.hit1 = i % 200 == 0;
        journal_frame(&in);
        const jframe& f = frameinput;
        r.frames.push_back({f.mx, f.my, f.down1, f.hit1, f.tick1, f.tick2, secondtimer.manual, clocktimer.manual});
        journal_afterframe();
    }
    journal_end();
    r.out = ::testing::internal::GetCapturedStdout();
    r.pathafter = !journal_path().empty();
    journal_fwrite = std::fwrite;
    journal_paceclock(0);
    journal_drop();
    r.journal = slurp(userpath + "journals/s.ojr");
    r.settings = slurp(userpath + "settings.txt");
    r.profile = slurp(userpath + "players1.ppp");
    userpath = saved;
    return r;
}
}  // namespace

// The disk fills up in the middle of a session: the journal goes with one line on standard output, and the
// game reads the same input, its timers run the same and the player's files stay as they were.
TEST(JournalRecording, AWriteFailingMidSessionDropsTheJournalAndPlayGoesOn) {
    headless();
    const recorded whole = session(-1);
    const recorded full = session(3);  // the header and two blocks reach the file, the third write fails
    EXPECT_EQ(whole.out, "");
    journaldata j;
    std::string error;
    ASSERT_EQ(parse(whole.journal, &j, &error), JOURNAL_COMPLETE) << error;
    EXPECT_EQ(j.frames, 3000);

    EXPECT_EQ(full.out, "journal not recorded: the disk is full or the file cannot be written\n");
    EXPECT_EQ(full.journal, "");  // the partial file is gone
    EXPECT_EQ(full.pathafter, 0);
    EXPECT_EQ(full.frames, whole.frames);
    EXPECT_EQ(full.frames.back()[6], 60);  // a minute of ticks went on after the write failed
    EXPECT_EQ(full.settings, "0\r\n3\r\n");
    EXPECT_EQ(full.profile, std::string(5000, '\x07'));
}

TEST(BugReport, TheBundleHoldsTheJournalSoFarTheUserFilesAndTheDrivers) {
    headless();
    const std::string saved = userpath;
    userpath = temp_folder("report");
    spit(userpath + "settings.txt", "0\r\n3\r\n");
    spit(userpath + "players2.ppp", std::string(64, '\x02'));
    spit(userpath + "notes.txt", "not a game file");
    journal_record_to(userpath + "journals/now.ojr");
    journal_userfiles();
    journal_seed(5);
    for (int i = 0; i < 60; ++i) {
        jframe in;
        journal_frame(&in);
        journal_afterframe();
    }
    ::testing::internal::CaptureStdout();
    std::string path = writebugreport();
    std::string out = ::testing::internal::GetCapturedStdout();
    journal_drop();
    ASSERT_FALSE(path.empty());
    EXPECT_EQ(out, "bug report written to " + path + "\n");
    std::string list;
    ASSERT_EQ(run("tar -tzf " + path, &list), 0) << list;
    EXPECT_NE(list.find("/now.ojr"), std::string::npos) << list;
    EXPECT_NE(list.find("/user/settings.txt"), std::string::npos) << list;
    EXPECT_NE(list.find("/user/players2.ppp"), std::string::npos) << list;
    EXPECT_EQ(list.find("notes.txt"), std::string::npos) << list;
    EXPECT_NE(list.find("/stdout.txt"), std::string::npos) << list;
    EXPECT_NE(list.find("/about.txt"), std::string::npos) << list;
    // The journal so far reads as a session that has not ended yet, with its frames and the starting files.
    std::string dir = userpath + "x/";
    std::filesystem::create_directories(dir);
    ASSERT_EQ(run("tar -xzf " + path + " -C " + dir, &list), 0);
    std::string journal;
    for (const auto& e : std::filesystem::recursive_directory_iterator(dir))
        if (e.path().extension() == ".ojr") journal = slurp(e.path().string());
    journaldata j;
    std::string error;
    EXPECT_EQ(parse(journal, &j, &error), JOURNAL_CUT) << error;
    EXPECT_EQ(j.frames, 60);
    EXPECT_EQ(j.header.files.size(), 2u);
    EXPECT_EQ(j.header.seed, 5);
    userpath = saved;
}

TEST(JournalReader, TheFuzzCorpusGivesAnswersNotCrashes) {
    int seen = 0;
    for (const auto& e : std::filesystem::directory_iterator(std::string(OMBRIVALE_SOURCE_DIR) + "/tests/fuzz/corpus/journal")) {
        std::string bytes = slurp(e.path().string());
        journaldata j;
        std::string error;
        int r = parse(bytes, &j, &error);
        if (r != JOURNAL_COMPLETE) {
            EXPECT_FALSE(error.empty()) << e.path();
        }
        ++seen;
    }
    EXPECT_GE(seen, 2);
}
