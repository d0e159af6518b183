// Session journals: the reader against whole, cut and damaged journals, and the game binary playing the
// recorded journals of tests/replays/ back under changed conditions.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/bugreport.h"
#include "app/journal.h"
#include "app/replay.h"
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
// repeats, checks and the summary.
std::string samplejournal(bool summary = true) {
    jheader h;
    h.version = "0.0.10";
    h.levelshash = 0x1234;
    h.textshash = 0x5678;
    h.virtw = 1024;
    h.virth = 768;
    h.desktopw = 1920;
    h.desktoph = 1080;
    h.seed = -77;
    std::string body;
    journal_put_file(body, {"settings.txt", "1\r\n1\r\n"});
    journal_put_file(body, {"players1.ppp", std::string(300, '\0')});
    jframe prev, f;
    f.mx = 500;
    f.my = 300;
    f.tick1 = 1;
    journal_put_frame(body, prev, f);
    prev = f;
    journal_put_repeat(body, 48);
    jframe g = jframe_held(prev);
    g.mx = -3;  // off the left edge of a letterboxed screen
    g.down1 = 1;
    g.hit1 = 1;
    g.keys = JKEY_ESCAPE | JKEY_F8;
    g.chars = {'A', 8, 13};
    g.events = {1, 0};
    g.close = 1;
    journal_put_frame(body, prev, g);
    journal_put_check(body, 50, 0xdeadbeef);
    journal_put_repeat(body, 1000);
    journal_put_check(body, 100, 0xfeedface);
    if (summary) {
        jsummary s;
        s.frames = 1050;
        s.screen = 13;
        s.level = 3;
        s.score = 4200;
        s.statesum = 7;
        s.filesum = 9;
        journal_put_summary(body, s);
    }
    return journal_header_bytes(h) + journal_deflate(body);
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
    EXPECT_EQ(j.header.version, "0.0.10");
    EXPECT_EQ(j.header.seed, -77);
    EXPECT_EQ(j.header.desktopw, 1920);
    ASSERT_EQ(j.header.files.size(), 2u);
    EXPECT_EQ(j.header.files[0].name, "settings.txt");
    EXPECT_EQ(j.header.files[1].bytes.size(), 300u);
    EXPECT_EQ(j.frames, 1050);
    ASSERT_EQ(j.runs.size(), 4u);
    EXPECT_EQ(j.runs[0].frame.mx, 500);
    EXPECT_EQ(j.runs[0].frame.tick1, 1);
    EXPECT_EQ(j.runs[1].count, 48);
    EXPECT_EQ(j.runs[1].frame.tick1, 0);  // a repeat holds the position, not the one-off ticks
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
    EXPECT_EQ(j.checks[1].sum, 0xfeedfaceu);
    EXPECT_EQ(j.summary.score, 4200);
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
    EXPECT_EQ(parse("hello, world", &j, &error), JOURNAL_BAD);
    EXPECT_NE(error.find("not a journal"), std::string::npos);
    // A user file named to climb out of the replay's folder is refused.
    std::string body;
    journal_put_file(body, {"../../.bashrc", "x"});
    jheader h;
    h.virtw = 1024;
    h.virth = 768;
    EXPECT_EQ(parse(journal_header_bytes(h) + journal_deflate(body), &j, &error), JOURNAL_BAD);
    // A repeat count that would make billions of frames is refused without making them.
    body.clear();
    journal_put_frame(body, jframe(), jframe());
    journal_put_repeat(body, 2000000000);
    EXPECT_EQ(parse(journal_header_bytes(h) + journal_deflate(body), &j, &error), JOURNAL_BAD);
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
        // Under 100 KB for an hour of play, beyond the user files it starts from.
        size_t files = journal_deflate(std::string(j.header.files.empty() ? 0 : 1, 'x')).size();
        for (const jfile& f : j.header.files) files += journal_deflate(f.bytes).size() + f.name.size() + 8;
        // An hour as the session's own clock measured it (its one-second ticks): the recorder plays slower than
        // real time while it tries shots, and its journals carry a tick for every second it took.
        long seconds = 0;
        for (const jrun& r : j.runs) seconds += r.frame.tick1;
        seconds = std::max(seconds, (long)j.frames / 50);
        EXPECT_LT((double)(bytes.size() - std::min(files, bytes.size())) / seconds * 3600, 100e3) << e.path();
    }
    EXPECT_GE(seen, 3);
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
    spit(dir + "cut.ojr", bytes.substr(0, bytes.size() * 2 / 3));
    std::string out = play(dir + "cut.ojr", "--check", &st);
    EXPECT_EQ(st, 2);
    EXPECT_NE(out.find("cannot check"), std::string::npos) << out;
    spit(dir + "junk.ojr", "OMBJRNL1" + std::string(100, '\xff'));
    out = play(dir + "junk.ojr", "", &st);
    EXPECT_EQ(st, 2);
    EXPECT_NE(out.find("cannot play"), std::string::npos) << out;
    // Another game version: refused, and played with a warning under --force.
    std::string other = bytes;
    size_t at = other.find("0.0.10");
    ASSERT_NE(at, std::string::npos);
    other[at + 5] = '9';
    spit(dir + "other.ojr", other);
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
