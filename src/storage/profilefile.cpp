// The profile file format: bytes in, a record out, and back. Nothing here touches the game's tables.
#include <cstdint>

#include "storage/players.h"
#include "storage/safefile.h"

namespace {
// Calls f on every integer of a record, in file order (everything before the name).
template <class R, class F>
void each_field(R& r, F&& f) {
    for (auto* v : {&r.difficulty, &r.stoneset, &r.adventurestarted, &r.level, &r.levelinprogress, &r.res20,
                    &r.res24, &r.id, &r.timerbar_shown, &r.playseconds, &r.playshots, &r.res44, &r.score,
                    &r.maxlevel, &r.res56, &r.res60, &r.m3resume, &r.savedscroll, &r.savedfloorline, &r.res76,
                    &r.stat_cleared, &r.stat_special, &r.stat_other, &r.winbonus, &r.levelrescued})
        f(*v);
    for (auto& v : r.rankcounter) f(v);
    for (auto& v : r.restable) f(v);
    for (int l = 0; l < 200; ++l) {
        f(r.levelstars[l]);
        f(r.levelstate[l]);
    }
    for (int i = 0; i < 200; ++i) {
        f(r.m3mud[i]);
        f(r.m3res1[i]);
        f(r.m3itemx[i]);
        f(r.m3itemy[i]);
        f(r.m3itemkind[i]);
        f(r.m3res2[i]);
    }
    for (auto& s : r.stone)
        for (auto* v : {&s.x, &s.y, &s.kind, &s.spare, &s.falling, &s.group, &s.glint, &s.shake, &s.chain[0],
                        &s.chain[1], &s.chain[2]})
            f(*v);
}

void put32(char* out, int v) {
    const uint32_t u = (uint32_t)v;
    out[0] = (char)(u & 0xff);
    out[1] = (char)(u >> 8 & 0xff);
    out[2] = (char)(u >> 16 & 0xff);
    out[3] = (char)(u >> 24 & 0xff);
}

int32_t get32(const std::string& in, size_t at) {
    const unsigned char* b = (const unsigned char*)in.data() + at;
    return (int32_t)((uint32_t)b[0] | (uint32_t)b[1] << 8 | (uint32_t)b[2] << 16 | (uint32_t)b[3] << 24);
}

// Bounds wide enough for anything a game can reach, narrow enough that no later arithmetic overflows.
const int BIG = 1000000000, FAR = 100000;

// What was wrong with a file: the first few things in words, then how many more.
struct problems {
    std::string text;
    int count = 0;
    void add(const std::string& s) {
        if (++count > 3) return;
        if (!text.empty()) text += "; ";
        text += s;
    }
    std::string said() const {
        if (count <= 3) return text;
        return text + "; and " + std::to_string(count - 3) + " more values out of range";
    }
};

void check(int& v, int lo, int hi, int blank, const char* name, problems& p) {
    if (v >= lo && v <= hi) return;
    if (p.count < 3)
        p.add(std::string(name) + " " + std::to_string(v) + " is out of range, " + std::to_string(blank) + " used");
    else
        p.add(std::string());
    v = blank;
}

// A stored board holds stones on the board's grid area, with their counters and chain layers in range; any
// other board cannot be played on and is dropped.
bool board_possible(const profilerecord& r) {
    for (const profilestone& s : r.stone) {
        for (int v : {s.x, s.y, s.spare, s.falling, s.group, s.glint, s.shake})
            if (v < -FAR || v > FAR) return false;
        if (s.kind < -1 || s.kind > 1000) return false;
        for (int c : s.chain)
            if (c < -1 || c > 1) return false;
    }
    return true;
}

void keep_in_range(profilerecord& r, problems& p) {
    const profilerecord b = blankprofile();
    if (!board_possible(r)) {
        p.add("the stored board is not possible, the level starts afresh");
        for (int i = 0; i < PROFILE_STONES; ++i) r.stone[i] = b.stone[i];
        r.levelinprogress = 0;
        r.savedscroll = 0;
    }
    check(r.difficulty, 1, 4, b.difficulty, "playdifficulty", p);
    check(r.stoneset, 1, 4, b.stoneset, "stoneset", p);
    check(r.adventurestarted, 0, 1, b.adventurestarted, "adventurestarted", p);
    check(r.level, 0, 200, b.level, "playerlevel", p);
    check(r.maxlevel, 1, 200, b.maxlevel, "maxlevel", p);
    check(r.levelinprogress, 0, 1, b.levelinprogress, "levelinprogress", p);
    check(r.timerbar_shown, 0, 340, b.timerbar_shown, "timerbar_shown", p);
    check(r.playseconds, 0, BIG, 0, "playseconds", p);
    check(r.playshots, 0, BIG, 0, "playshots", p);
    check(r.score, 0, BIG, 0, "playerscore", p);
    check(r.savedscroll, -64, 64, 0, "savedscroll", p);
    check(r.savedfloorline, -FAR, FAR, b.savedfloorline, "savedfloorline", p);
    check(r.levelrescued, 0, FAR, 0, "levelrescued", p);
    check(r.stat_cleared, -BIG, BIG, 0, "stat_cleared", p);
    check(r.stat_special, -BIG, BIG, 0, "stat_special", p);
    check(r.stat_other, -BIG, BIG, 0, "stat_other", p);
    check(r.winbonus, -BIG, BIG, 0, "winbonus", p);
    check(r.m3resume, -FAR, FAR, 0, "match-3 resume value", p);
    for (int& v : r.rankcounter) check(v, 0, 250, 0, "rank counter", p);
    for (int& v : r.levelstars) check(v, 0, 6, 0, "level stars", p);
    for (int l = 0; l < 200; ++l) check(r.levelstate[l], 0, 1000, b.levelstate[l], "level state", p);
    for (int i = 0; i < 200; ++i)
        for (int* v : {&r.m3mud[i], &r.m3itemx[i], &r.m3itemy[i], &r.m3itemkind[i]})
            check(*v, -FAR, FAR, 0, "match-3 value", p);
}
}  // namespace

profilerecord blankprofile() {
    profilerecord r{};
    r.difficulty = 3;
    r.stoneset = 1;
    r.res20 = 1;
    r.res24 = 3;
    r.id = -9999;
    r.res44 = 1;
    r.maxlevel = 1;
    r.res56 = 1;
    r.savedfloorline = 32;  // the floor row of an unscrolled board
    r.levelstate[0] = 201;
    for (profilestone& s : r.stone) {
        s.kind = -1;
        s.chain[0] = s.chain[1] = s.chain[2] = -1;
    }
    return r;
}

bool decodeprofile(const std::string& bytes, profilerecord* out, std::string* problem) {
    profilerecord r = blankprofile();
    problems p;
    size_t at = 0;
    each_field(r, [&](int& v) {
        if (at + 4 <= bytes.size()) v = get32(bytes, at);
        at += 4;
    });
    if (bytes.size() < PROFILE_BYTES)
        p.add("short (" + std::to_string(bytes.size()) + " of 28708 bytes): the rest takes the reset values");
    if (bytes.size() >= PROFILE_BYTES) {
        int n = get32(bytes, PROFILE_BYTES - 4);
        if (n > PROFILE_NAME_MAX || (n > 0 && (size_t)n > bytes.size() - PROFILE_BYTES))
            p.add("name length " + std::to_string(n) + " is not possible, the name is left empty");
        else if (n > 0)
            r.name = trim_controls(bytes.substr(PROFILE_BYTES, (size_t)n));
    }
    keep_in_range(r, p);
    *out = r;
    if (problem) *problem = p.said();
    return p.count == 0;
}

std::string encodeprofile(const profilerecord& rec) {
    std::string name = trim_controls(rec.name).substr(0, PROFILE_NAME_MAX);
    name = trim_controls(name);
    std::string out(PROFILE_BYTES + name.size(), '\0');
    char* at = out.data();
    each_field(rec, [&at](int v) {
        put32(at, v);
        at += 4;
    });
    put32(at, (int)name.size());
    out.replace(PROFILE_BYTES, name.size(), name);
    return out;
}
