#include "app/replay.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/bugreport.h"
#include "app/cmdline.h"
#include "app/display.h"
#include "app/screenflow.h"
#include "app/shell.h"
#include "aztec/board.h"
#include "aztec/levelrun.h"
#include "aztec/rules.h"
#include "match3/match3.h"
#include "platform/draw.h"
#include "platform/input.h"
#include "platform/paths.h"
#include "platform/random.h"
#include "platform/readfile.h"
#include "platform/userfile.h"
#include "storage/players.h"
#include "storage/settings.h"
#include "texts/languages.h"
#include "ui/popups.h"

jframe frameinput;
size_t (*journal_fwrite)(const void*, size_t, size_t, FILE*) = std::fwrite;
jsummary replaysummary;
int replaydiffered = 0;

namespace fs = std::filesystem;

namespace {
enum { KEEPJOURNALS = 10, FLUSHEVERY = 500, FLUSHSECONDS = 10 };

// ---- recording ----
int recwanted = 0;        // this run is recorded
int recdead = 0;          // the journal was dropped (unwritable folder, full disk)
std::string recpath;      // the journal file
FILE* recfile = nullptr;
jwriter recw;             // frames coded since the last block was written
jheader rechead;
int headerdone = 0;
int recframes = 0;
int pending = 0;          // frameinput holds a frame not yet coded
int flushticks = 0;       // seconds since the last write: a slow machine still writes every few seconds

// ---- playback ----
int playing = 0;
journaldata pj;
size_t runat = 0;
int inrun = 0;
int playframes = 0;
size_t charat = 0;
size_t checkat = 0;
int lastmatch = 0;

// ---- timers ----
int realseen1 = 0, realseen2 = 0;
int paced = 0;          // the timers count frames, not the clock
long pacedframes = 0;

int realticks(const TTimer& t) {
    if (paced) return (int)(pacedframes / 50);
    TTimer c = t;
    c.manual = -1;
    return timer_ticks(c);
}

std::string readfile(const std::string& path, size_t limit, bool* ok) {
    std::string s;
    *ok = read_file(path, s, limit) == READ_OK;
    return s;
}

uint32_t filecrc(uint32_t crc, const std::string& literal) {
    bool ok;
    std::string s = readfile(resolve_path(literal), (size_t)256 << 20, &ok);
    return ok ? journal_crc(crc, s.data(), s.size()) : crc;
}

uint32_t levelshash() { return filecrc(0, "data\\/levelz/levels.lvl"); }
uint32_t textshash() {
    uint32_t c = 0;
    for (const char* p : {"data\\texts/menutexts.txt", "data\\texts/storytexts.txt", "data\\texts/gametexts.txt",
                          "data\\/branding/splashconfig.txt"})
        c = filecrc(c, p);
    return c;
}

// The recording stops for good: one line says why, the partial file goes.
void dropjournal(const char* why) {
    if (recdead) return;
    recdead = 1;
    std::printf("journal not recorded: %s\n", why);
    if (recfile) std::fclose(recfile);
    recfile = nullptr;
    if (!recpath.empty()) {
        std::error_code ec;
        fs::remove(recpath, ec);
    }
    recw = jwriter();
}

// Writes bytes to the journal; false (and the journal dropped) when they do not all reach the file.
bool writebytes(const std::string& bytes) {
    if (!recfile || recdead) return false;
    if (journal_fwrite(bytes.data(), 1, bytes.size(), recfile) != bytes.size() || std::fflush(recfile) != 0) {
        dropjournal("the disk is full or the file cannot be written");
        return false;
    }
    return true;
}

// Writes the frames coded so far as a block.
void flushbody() {
    flushticks = 0;
    if (!recfile || recdead) return;
    writebytes(journal_block(&recw));
}

void writeheader() {
    if (headerdone || recdead || !recwanted) return;
    headerdone = 1;
    make_private_folder(fs::path(recpath).parent_path().string());
    int fd = create_private_file(recpath);
    recfile = fd >= 0 ? fdopen(fd, "wb") : nullptr;
    if (!recfile) {
        if (fd >= 0) close(fd);
        dropjournal("its folder cannot be written");
        return;
    }
    recw = jwriter();
    writebytes(journal_header_bytes(rechead));
}

// Codes this frame's finished input record into the journal, with the state checksum every 50th frame.
void emitframe() {
    if (!pending) return;
    pending = 0;
    ++recframes;
    if (recdead || !headerdone) return;
    if (recframes % JOURNAL_CHECKEVERY == 0) {
        const uint32_t sum = gamestatesum();
        journal_write_frame(&recw, frameinput, &sum);
    } else {
        journal_write_frame(&recw, frameinput, nullptr);
    }
    flushticks += frameinput.tick1;
    if (recw.blockframes >= FLUSHEVERY || flushticks >= FLUSHSECONDS) flushbody();
}

// Keeps the newest journals: with the one about to be written there are at most KEEPJOURNALS.
void prunejournals(const std::string& folder, const std::string& keep) {
    std::error_code ec;
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder, ec)) {
        std::string n = e.path().filename().string();
        if (e.is_regular_file(ec) && n.size() > 4 && n.compare(n.size() - 4, 4, ".ojr") == 0 &&
            e.path().string() != keep)
            names.push_back(n);
    }
    std::sort(names.begin(), names.end());
    while (names.size() >= KEEPJOURNALS) {
        fs::remove(fs::path(folder) / names.front(), ec);
        names.erase(names.begin());
    }
}

std::string stamp() {
    std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    char buf[32];
    std::strftime(buf, sizeof buf, "%Y%m%d-%H%M%S", &tm);
    return buf;
}

const char* screenname(int s) {
    switch (s) {
        case screen_intro: return "intro";
        case screen_load: return "loading";
        case screen_menu: return "menu";
        case screen_game: return "game";
        case screen_map: return "map";
        case screen_story: return "story";
        case screen_none: return "none";
        default: return "other";
    }
}

void addints(uint32_t* c, std::initializer_list<int> v) {
    for (int x : v) *c = journal_crc(*c, &x, sizeof x);
}
template <class T>
void addarray(uint32_t* c, const T& a) {
    *c = journal_crc(*c, &a, sizeof a);
}
}  // namespace

int journal_active() { return recwanted || playing; }
int replaying() { return playing; }

void journal_frame(jframe* in) {
    if (playing) {
        if (runat < pj.runs.size()) {
            const jrun& r = pj.runs[runat];
            *in = inrun == 0 ? r.frame : jframe_held(r.frame);
            if (++inrun >= r.count) {
                ++runat;
                inrun = 0;
            }
        } else {
            *in = jframe_held(frameinput);
        }
        ++playframes;
        charat = 0;
    } else if (recwanted) {
        emitframe();  // the previous frame, when the loop did not finish it
        ++pacedframes;
        int r1 = realticks(secondtimer), r2 = realticks(clocktimer);
        in->tick1 = std::clamp(r1 - realseen1, 0, 15);
        in->tick2 = std::clamp(r2 - realseen2, 0, 15);
        realseen1 = r1;
        realseen2 = r2;
        pending = 1;
    }
    if (journal_active()) {
        secondtimer.manual = std::max(secondtimer.manual, 0) + in->tick1;
        clocktimer.manual = std::max(clocktimer.manual, 0) + in->tick2;
    }
    frameinput = *in;
}

int journal_stop_next() {
    if (!playing || runat >= pj.runs.size() || inrun != 0) return 0;
    const std::vector<uint8_t>& ev = pj.runs[runat].frame.events;
    return std::find(ev.begin(), ev.end(), (uint8_t)JEVENT_STOP) != ev.end() ? 1 : 0;
}

void journal_stop() {
    if (playing && !journal_stop_next()) return;  // a real signal to the playback itself
    jframe in;
    in.mx = mx;
    in.my = my;
    in.events.push_back(JEVENT_STOP);
    journal_frame(&in);
}

int framechar() {
    if (playing) return charat < frameinput.chars.size() ? frameinput.chars[charat++] : 0;
    int c = get_char();
    if (c && recwanted && frameinput.chars.size() < JOURNAL_MAXCHARS) frameinput.chars.push_back((uint8_t)c);
    return c;
}

int framekeydown(int code) {
    if (!journal_active()) return key_down(code);
    int bit = code == VK_ESCAPE ? JKEY_ESCAPE : code == VK_RETURN ? JKEY_RETURN : code == VK_SPACE ? JKEY_SPACE
            : code == VK_F2 ? JKEY_F2 : code == VK_F3 ? JKEY_F3 : code == VK_F4 ? JKEY_F4
            : code == VK_F7 ? JKEY_F7 : code == VK_F8 ? JKEY_F8 : 0;
    return (frameinput.keys & bit) ? 1 : 0;
}

int32_t journal_seed(int32_t live) {
    if (playing) return pj.header.seed;
    if (recwanted) {
        rechead.seed = live;
        rechead.version = gameversion();
        rechead.levelshash = levelshash();
        rechead.textshash = textshash();
        rechead.virtw = virtw;
        rechead.virth = virth;
        rechead.desktopw = desktopw;
        rechead.desktoph = desktoph;
        writeheader();
    }
    return live;
}

void journal_userfiles() {
    if (!recwanted || playing) return;
    rechead.files.clear();
    rechead.newuserfolder = newuserfolder;
    std::error_code ec;
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(userpath, ec))
        if (e.is_regular_file(ec) && isuserfile(e.path().filename().string()))
            names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    for (const std::string& n : names) {
        bool ok;
        std::string bytes;
        ok = read_user_file(userpath + n, bytes, JOURNAL_MAXFILEBYTES) == READ_OK;
        if (ok) rechead.files.push_back({n, bytes});
    }
    if (recpath.empty()) {
        std::string folder = userpath + "journals/";
        recpath = folder + "session-" + stamp() + "-" + std::to_string(getpid()) + ".ojr";
        make_private_folder(folder);
        prunejournals(folder, recpath);
    }
    realseen1 = realticks(secondtimer);
    realseen2 = realticks(clocktimer);
}

void journal_afterframe() {
    if (playing) {
        if (checkat < pj.checks.size() && pj.checks[checkat].frame == playframes) {
            if (pj.checks[checkat].sum == journal_checkbits(gamestatesum()))
                lastmatch = playframes;
            else if (!replaydiffered)
                replaydiffered = playframes;
            ++checkat;
        }
        return;
    }
    if (recwanted) emitframe();
}

// Where the session stands after `frames` frames.
static jsummary summarynow(int frames) {
    jsummary s;
    s.frames = frames;
    s.screen = curscreen;
    s.level = playlevel;
    s.score = curplayer >= 1 && curplayer <= MAXPLAYERS ? playerscore[curplayer] : 0;
    s.statesum = gamestatesum();
    s.filesum = userfilesum(userpath);
    return s;
}

void journal_end() {
    if (playing || !recwanted) return;
    emitframe();
    if (!recdead && headerdone) {
        flushbody();
        writebytes(journal_summary_bytes(summarynow(recframes)));
        if (recfile && std::fclose(recfile) != 0) {
            recfile = nullptr;
            dropjournal("the disk is full or the file cannot be written");
        }
        recfile = nullptr;
    }
    recwanted = 0;
}

void journal_record_to(const std::string& path) {
    recwanted = 1;
    recdead = 0;
    recpath = path;
    headerdone = 0;
    frameinput = jframe();
    recw = jwriter();
    recframes = pending = flushticks = 0;
}

void journal_paceclock(int on) {
    paced = on;
    pacedframes = 0;
}

void journal_drop() {
    if (recfile) std::fclose(recfile);
    recfile = nullptr;
    recwanted = 0;
    headerdone = 0;
    secondtimer.manual = clocktimer.manual = -1;
}

// The journal written so far, flushed to its file first ("" when there is none).
std::string journal_sofar() {
    if (recfile && !recdead) flushbody();
    if (recpath.empty() || recdead) return {};
    bool ok;
    std::string s = readfile(recpath, (size_t)256 << 20, &ok);
    return ok ? s : std::string();
}

std::string journal_path() { return recdead ? std::string() : recpath; }

uint32_t gamestatesum() {
    uint32_t c = 0;
    addints(&c, {rnd_state(), curscreen, fadestate, fadelevel, nextscreen, nextscreenarg, paused, popupkind,
                 popupfade, popupfadedir, curplayer, mx, my, mheld1, escapedelay, appsuspended, devkeys,
                 mouseactive, quitrequested, virtw, virth, fullscreen, displaymode, musicvolume, soundvolume,
                 bganimation, customcursor, curlevel, playlevel, level_frames, wincount, losecount, timerbar,
                 winstars, combomult, combotimer, shotcolour, nextcolour, topslot, floorline, scrollleft,
                 cannonslot, m3selected, m3partner, m3swaptimer, m3resume});
    addarray(&c, stone_kind);
    addarray(&c, stone_x);
    addarray(&c, stone_y);
    addarray(&c, stone_chain);
    addarray(&c, playerlevel);
    addarray(&c, maxlevel);
    addarray(&c, playerscore);
    addarray(&c, playseconds);
    addarray(&c, playshots);
    addarray(&c, playdifficulty);
    addarray(&c, levelinprogress);
    addarray(&c, levelstars);
    addarray(&c, levelstate);
    addarray(&c, besttime);
    for (int i = 1; i < M3SLOTS; ++i)
        addints(&c, {m3cells[i].used, m3cells[i].mud, m3cells[i].item, m3items[i].x, m3items[i].y,
                     m3items[i].kind});
    for (int i = 0; i < PLAYERSLOTS; ++i) c = journal_crc(c, playername[i].data(), playername[i].size() + 1);
    return c;
}

bool isuserfile(const std::string& n) {
    // The language choice travels with a journal, so that a session plays back in the language it was played in.
    if (n == "settings.txt" || n == "besttimes.ppp" || n == languagefile) return true;
    for (int i = 1; i <= MAXPLAYERS; ++i)
        if (n == "players" + std::to_string(i) + ".ppp") return true;
    return false;
}

uint32_t userfilesum(const std::string& folder) {
    uint32_t c = 0;
    std::vector<std::string> names = {"settings.txt", "besttimes.ppp"};
    for (int i = 1; i <= MAXPLAYERS; ++i) names.push_back("players" + std::to_string(i) + ".ppp");
    for (const std::string& n : names) {
        bool ok;
        std::string s = readfile(folder + n, JOURNAL_MAXFILEBYTES, &ok);
        c = journal_crc(c, n.data(), n.size() + 1);
        if (ok) c = journal_crc(c, s.data(), s.size());
    }
    return c;
}

int playjournal(const replayoptions& o) {
    replaydiffered = 0;
    replaysummary = jsummary();
    bool ok;
    std::string bytes = readfile(o.file, (size_t)256 << 20, &ok);
    if (!ok) {
        std::printf("cannot read the journal %s\n", o.file.c_str());
        return 2;
    }
    std::string error;
    int kind = journal_parse((const uint8_t*)bytes.data(), bytes.size(), &pj, &error);
    if (kind == JOURNAL_BAD) {
        std::printf("cannot play %s: %s\n", o.file.c_str(), error.c_str());
        return 2;
    }
    if (kind == JOURNAL_CUT) {
        if (o.check) {
            std::printf("cannot check %s: %s\n", o.file.c_str(), error.c_str());
            return 2;
        }
        std::printf("note: %s\n", error.c_str());
    }
    findbasedir();
    std::string differs;
    if (pj.header.version != gameversion())
        differs = "was recorded by version " + pj.header.version + ", this is " + gameversion();
    else if (pj.header.levelshash != levelshash() || pj.header.textshash != textshash())
        differs = "was recorded with other levels or texts";
    if (!differs.empty()) {
        if (!o.force) {
            std::printf("the journal %s; --force plays it anyway\n", differs.c_str());
            return 2;
        }
        std::printf("warning: the journal %s; it may not play the same\n", differs.c_str());
    }

    if (o.headless) {
        set_render_off(RENDER_NOTHING);
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
    }
    // The recorded user files go to a folder of their own: the player's real files are never touched.
    char tmpl[] = "/tmp/ombrivale-replay-XXXXXX";
    if (!mkdtemp(tmpl)) {
        std::printf("cannot make a temporary folder for the replay\n");
        return 2;
    }
    const std::string temp = tmpl;
    setenv("XDG_DATA_HOME", temp.c_str(), 1);
    makepath();
    std::error_code ec;
    if (pj.header.newuserfolder) {
        fs::remove_all(userpath, ec);
    } else {
        for (const jfile& f : pj.header.files) {
            std::ofstream out(userpath + f.name, std::ios::binary);
            out.write(f.bytes.data(), (std::streamsize)f.bytes.size());
        }
    }
    fakedesktopw = pj.header.desktopw;
    fakedesktoph = pj.header.desktoph;
    if (o.windoww > 0 && o.windowh > 0) set_window_override(o.windoww, o.windowh);
    else if (!o.headless) set_window_override(-1, -1);
    instancename = "replay-" + std::to_string(getpid());

    playing = 1;
    runat = 0;
    inrun = 0;
    playframes = 0;
    checkat = 0;
    lastmatch = 0;
    frameinput = jframe();
    if (!startup()) {
        fs::remove_all(temp, ec);
        return 2;
    }
    secondtimer.manual = clocktimer.manual = 0;
    if (virtw != pj.header.virtw || virth != pj.header.virth)
        std::printf("warning: logical size %dx%d, the journal was recorded at %dx%d\n", virtw, virth,
                    pj.header.virtw, pj.header.virth);
    int lastscreen = curscreen;
    std::printf("frame 0: screen %s\n", screenname(curscreen));
    int stopped = 0;
    while (quitrequested != 1 && playframes < pj.frames) {
        mainloop_frame(o.fast || o.headless ? 0 : 1);
        if (curscreen != lastscreen) {
            lastscreen = curscreen;
            std::printf("frame %d: screen %s\n", playframes, screenname(curscreen));
        }
        if (!o.headless && (key_down(VK_ESCAPE) || app_terminate_requested())) {
            std::printf("replay stopped at frame %d\n", playframes);
            stopped = 1;
            break;
        }
        if (o.check && replaydiffered) break;
    }
    replaysummary = summarynow(playframes);
    std::printf("summary: frames %d, screen %s, level %d, score %d, state %08x, files %08x\n",
                replaysummary.frames, screenname(replaysummary.screen), replaysummary.level, replaysummary.score,
                replaysummary.statesum, replaysummary.filesum);
    int rc = 0;
    if (o.check && !stopped) {
        const jsummary& s = pj.summary;
        if (!replaydiffered && (s.frames != replaysummary.frames || s.screen != replaysummary.screen ||
                                s.level != replaysummary.level || s.score != replaysummary.score ||
                                s.statesum != replaysummary.statesum || s.filesum != replaysummary.filesum))
            replaydiffered = playframes;
        if (replaydiffered) {
            std::printf("check: the game differs from the journal at frame %d (last match at frame %d)\n",
                        replaydiffered, lastmatch);
            std::printf("journal: frames %d, screen %s, level %d, score %d, state %08x, files %08x\n", s.frames,
                        screenname(s.screen), s.level, s.score, s.statesum, s.filesum);
            rc = 1;
        } else {
            std::printf("check: matches the journal frame for frame\n");
        }
    }
    playing = 0;
    secondtimer.manual = clocktimer.manual = -1;
    set_window_override(0, 0);
    set_render_off(0);
    fakedesktopw = fakedesktoph = 0;
    fs::remove_all(temp, ec);
    return rc;
}

int replay_command() {
    if (cmd_report) {
        stdout_ring_start();
        findbasedir();
        makepath();
        return writebugreport().empty() ? 1 : 0;
    }
    if (!cmd_replay.empty()) {
        replayoptions o;
        o.file = cmd_replay;
        o.headless = cmd_headless;
        o.fast = cmd_fast;
        o.check = cmd_check;
        o.force = cmd_force;
        if (!cmd_window.empty()) {
            char end = 0;
            if (std::sscanf(cmd_window.c_str(), "%dx%d%c", &o.windoww, &o.windowh, &end) != 2 || o.windoww < 64 ||
                o.windowh < 48 || o.windoww > 8192 || o.windowh > 8192) {
                std::fprintf(stderr, "ombrivale: --window wants a size such as 800x600\n");
                return 2;
            }
        }
        if (!cmd_rule.empty()) {
            // Plays with a rule changed (comboframes=N): shows that a replay notices when the game's rules move.
            int v = 0;
            char end = 0;
            if (std::sscanf(cmd_rule.c_str(), "comboframes=%d%c", &v, &end) != 1 || v < 1 || v > 100000) {
                std::fprintf(stderr, "ombrivale: --rule knows comboframes=N\n");
                return 2;
            }
            comboframes = v;
        }
        stdout_ring_start();
        exitgame(playjournal(o));
    }
    stdout_ring_start();
    journal_record_to("");
    return -1;
}
