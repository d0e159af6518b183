#include "app/journal.h"

#include <zlib.h>

#include <algorithm>
#include <cctype>
#include <cstring>

namespace {
const char MAGIC[8] = {'O', 'M', 'B', 'J', 'R', 'N', 'L', '1'};

// Block kinds.
enum { BLOCK_FRAMES = 1, BLOCK_SUMMARY = 2 };
enum { MAXBLOCKBYTES = 1 << 24, MAXPOINTER = 100000 };

// ---- the range coder: 15-bit probabilities, each moving 1/32 of the way towards every bit it codes ----
enum { PROBBITS = 15, PROBONE = 1 << PROBBITS, ADAPT = 5, TOP = 1 << 24 };

struct rcenc {
    static const bool encoding = true;
    jwriter* w;
    void shiftlow() {
        if ((uint32_t)w->low < 0xff000000u || (w->low >> 32) != 0) {
            uint8_t carry = (uint8_t)(w->low >> 32);
            uint8_t temp = w->cache;
            do {
                w->out.push_back((char)(uint8_t)(temp + carry));
                temp = 0xff;
            } while (--w->cachesize != 0);
            w->cache = (uint8_t)(w->low >> 24);
        }
        ++w->cachesize;
        w->low = (w->low & 0x00ffffffu) << 8;
    }
    int bit(uint16_t& p, int b) {
        uint32_t bound = (w->range >> PROBBITS) * p;
        if (!b) {
            w->range = bound;
            p = (uint16_t)(p + ((PROBONE - p) >> ADAPT));
        } else {
            w->low += bound;
            w->range -= bound;
            p = (uint16_t)(p - (p >> ADAPT));
        }
        while (w->range < TOP) {
            w->range <<= 8;
            shiftlow();
        }
        return b;
    }
    int direct(int b) {
        w->range >>= 1;
        if (b) w->low += w->range;
        while (w->range < TOP) {
            w->range <<= 8;
            shiftlow();
        }
        return b;
    }
    void fail() {}
};

struct rcdec {
    static const bool encoding = false;
    const uint8_t* p;
    size_t n, at = 0;
    uint32_t range = 0xffffffffu, code = 0;
    bool bad = false;
    rcdec(const uint8_t* data, size_t size) : p(data), n(size) {
        for (int i = 0; i < 4; ++i) code = code << 8 | next();
    }
    uint32_t next() {
        if (at >= n) {
            bad = true;  // a whole block never needs more bytes than it has
            return 0;
        }
        return p[at++];
    }
    int bit(uint16_t& pr, int) {
        uint32_t bound = (range >> PROBBITS) * pr;
        int b;
        if (code < bound) {
            range = bound;
            pr = (uint16_t)(pr + ((PROBONE - pr) >> ADAPT));
            b = 0;
        } else {
            code -= bound;
            range -= bound;
            pr = (uint16_t)(pr - (pr >> ADAPT));
            b = 1;
        }
        while (range < TOP) {
            range <<= 8;
            code = code << 8 | next();
        }
        return b;
    }
    int direct(int) {
        range >>= 1;
        int b = code >= range ? 1 : 0;
        if (b) code -= range;
        while (range < TOP) {
            range <<= 8;
            code = code << 8 | next();
        }
        return b;
    }
    void fail() { bad = true; }
};

// Where each model's probabilities sit in jmodel::p.
enum {
    INTSET = 52,  // a signed number: zero, sign by the last miss's sign (3), exponent (24), top mantissa bit (24)
    MAXEXP = 24,
    P_MOVED = 0,                  // by the last step's speed or the rest so far, and the button (22)
    P_TICK1 = P_MOVED + 22,       // by frames since the last tick (13)
    P_TICK2 = P_TICK1 + 13,       // the same, and whether the first timer ticked (26)
    P_TICKV1 = P_TICK2 + 26,      // tick count - 1, 4-bit tree
    P_TICKV2 = P_TICKV1 + 16,
    P_OTHER = P_TICKV2 + 16,      // anything but the pointer and timers, by moved and button (4)
    P_HELD = P_OTHER + 4,
    P_DOWNFLIP = P_HELD + 1,      // by the button (2)
    P_KEYSCHG = P_DOWNFLIP + 2,   // by the button flip (2)
    P_KEYBIT = P_KEYSCHG + 2,     // per key, by its state (16)
    P_HIT1 = P_KEYBIT + 16,       // by the button before and now (4)
    P_HIT1V = P_HIT1 + 4,         // 2-bit tree
    P_HIT2 = P_HIT1V + 4,         // by hit1 (2)
    P_HIT2V = P_HIT2 + 2,
    P_RARE = P_HIT2V + 4,
    P_CLOSE = P_RARE + 1,
    P_EVENT = P_CLOSE + 1,
    P_CHECK = P_EVENT + 1,
    P_CHAR = P_CHECK + 1,         // 8-bit tree
    P_RX = P_CHAR + 256,          // pointer step misses, x by speed (6 sets), y by speed and x missed (12)
    P_RY = P_RX + 6 * INTSET,
    P_NEVENTS = P_RY + 12 * INTSET,
    P_NCHARS = P_NEVENTS + INTSET,
    P_EVENTCODE = P_NCHARS + INTSET,  // an event other than focus: its code, 4-bit tree
    P_END = P_EVENTCODE + 16
};
static_assert(P_END <= (int)(sizeof(jmodel::p) / sizeof(uint16_t)), "model table too small");

template <class C>
int32_t codeint(C& c, uint16_t* s, int signctx, int32_t v) {
    if (!c.bit(s[0], v != 0)) return 0;
    const int neg = c.bit(s[1 + signctx], v < 0);
    const uint32_t a = v < 0 ? (uint32_t)0 - (uint32_t)v : (uint32_t)v;
    int top = 0;
    if (C::encoding)
        while (top < MAXEXP - 1 && (a >> (top + 1)) != 0) ++top;
    int k = 0;
    while (k < MAXEXP && c.bit(s[4 + k], k < top)) ++k;
    if (k >= MAXEXP) {
        c.fail();
        return 0;
    }
    uint32_t m = 1;
    for (int i = k - 1; i >= 0; --i) {
        const int b = (int)(a >> i & 1);
        m = m << 1 | (uint32_t)(i == k - 1 ? c.bit(s[28 + k], b) : c.direct(b));
    }
    return neg ? -(int32_t)m : (int32_t)m;
}

template <class C>
int codetree(C& c, uint16_t* s, int bits, int v) {
    int m = 1;
    for (int i = bits - 1; i >= 0; --i) m = m << 1 | c.bit(s[m], v >> i & 1);
    return m - (1 << bits);
}

int speedclass(int v) { return v == 0 ? 0 : v < 3 ? 1 : v < 6 ? 2 : v < 12 ? 3 : v < 24 ? 4 : 5; }
int tickbucket(int since) { return since < 44 ? 0 : since <= 54 ? since - 43 : 12; }
int signof(int v) { return v == 0 ? 0 : v > 0 ? 1 : 2; }

// Codes one frame, the same code for both directions: the writer passes the frame in `f`, the reader gets it
// back there. `check` is the checksum bits of every JOURNAL_CHECKEVERY-th frame, `hascheck` whether it is kept.
template <class C>
void codeframe(C& c, jmodel& m, jframe& f, uint32_t& check, int& hascheck) {
    const jframe& last = m.last;
    jframe g = jframe_held(last);
    // The pointer: its step predicted to be the last one.
    const int dx = std::clamp(f.mx, -(int)MAXPOINTER, (int)MAXPOINTER) - last.mx;
    const int dy = std::clamp(f.my, -(int)MAXPOINTER, (int)MAXPOINTER) - last.my;
    // Moving on is likelier the faster it went; starting again, the longer it rested.
    const int still = m.still < 2 ? 0 : m.still < 5 ? 1 : m.still < 15 ? 2 : m.still < 40 ? 3 : 4;
    const int movectx = m.moved1 ? speedclass(std::abs(m.vx) + std::abs(m.vy)) : 6 + still;
    const int moved = c.bit(m.p[P_MOVED + movectx + 11 * m.down], dx != 0 || dy != 0);
    if (moved) {
        const int cls = speedclass(std::abs(m.vx) + std::abs(m.vy));
        const int rx = codeint(c, m.p + P_RX + cls * INTSET, m.sign[0], dx - m.vx);
        const int ry = codeint(c, m.p + P_RY + (cls * 2 + (rx == 0)) * INTSET, m.sign[1], dy - m.vy);
        const int64_t x = (int64_t)last.mx + m.vx + rx, y = (int64_t)last.my + m.vy + ry;
        if (x < -MAXPOINTER || x > MAXPOINTER || y < -MAXPOINTER || y > MAXPOINTER) {
            c.fail();
            return;
        }
        g.mx = (int)x;
        g.my = (int)y;
        m.sign[0] = signof(rx);
        m.sign[1] = signof(ry);
    } else {
        m.sign[0] = m.sign[1] = 0;
    }
    m.vx = g.mx - last.mx;
    m.vy = g.my - last.my;
    m.moved1 = moved;
    m.still = moved ? 0 : std::min(m.still + 1, 1000);
    // The one-second timers: a tick is expected 50 frames after the last one.
    const int t1 = c.bit(m.p[P_TICK1 + tickbucket(m.since1)], f.tick1 > 0);
    if (t1) g.tick1 = codetree(c, m.p + P_TICKV1, 4, std::min(f.tick1, 15) - 1) + 1;
    const int t2 = c.bit(m.p[P_TICK2 + tickbucket(m.since2) * 2 + t1], f.tick2 > 0);
    if (t2) g.tick2 = codetree(c, m.p + P_TICKV2, 4, std::min(f.tick2, 15) - 1) + 1;
    m.since1 = t1 ? 0 : std::min(m.since1 + 1, 1000);
    m.since2 = t2 ? 0 : std::min(m.since2 + 1, 1000);
    // Buttons, keys, presses, and the rare rest: close box, focus, typed characters.
    const int heldchange = f.down1 != last.down1 || (f.keys & 0xff) != last.keys;
    const int rare = f.close || !f.events.empty() || !f.chars.empty();
    if (c.bit(m.p[P_OTHER + moved + 2 * m.down], heldchange || f.hit1 || f.hit2 || rare)) {
        if (c.bit(m.p[P_HELD], heldchange)) {
            const int flip = c.bit(m.p[P_DOWNFLIP + last.down1], f.down1 != last.down1);
            g.down1 = last.down1 ^ flip;
            if (c.bit(m.p[P_KEYSCHG + flip], (f.keys & 0xff) != last.keys))
                for (int i = 0; i < 8; ++i)
                    g.keys ^= c.bit(m.p[P_KEYBIT + 2 * i + (last.keys >> i & 1)], (f.keys ^ last.keys) >> i & 1) << i;
        }
        if (c.bit(m.p[P_HIT1 + last.down1 + 2 * g.down1], f.hit1 > 0))
            g.hit1 = codetree(c, m.p + P_HIT1V, 2, std::min(f.hit1, 3) - 1) + 1;
        if (c.bit(m.p[P_HIT2 + (g.hit1 > 0)], f.hit2 > 0))
            g.hit2 = codetree(c, m.p + P_HIT2V, 2, std::min(f.hit2, 3) - 1) + 1;
        if (c.bit(m.p[P_RARE], rare)) {
            g.close = c.bit(m.p[P_CLOSE], f.close != 0);
            // Focus events are one bit each. A frame with any other event (the stop signal, code 2) gives its
            // count negated and every event as a code; a frame of focus events alone is coded as it always was.
            const int count = (int)std::min(f.events.size(), (size_t)JOURNAL_MAXEVENTS);
            int coded = 0;
            if (C::encoding)
                for (int i = 0; i < count; ++i) coded |= f.events[i] > 1;
            const int ne = codeint(c, m.p + P_NEVENTS, 0, coded ? -count : count);
            if (ne < -JOURNAL_MAXEVENTS || ne > JOURNAL_MAXEVENTS) {
                c.fail();
                return;
            }
            for (int i = 0; i < std::abs(ne); ++i) {
                const int v = C::encoding ? std::min((int)f.events[i], (int)JOURNAL_MAXEVENTCODE) : 0;
                g.events.push_back(ne < 0 ? (uint8_t)codetree(c, m.p + P_EVENTCODE, 4, v)
                                          : (uint8_t)c.bit(m.p[P_EVENT], v != 0));
            }
            const int nc = codeint(c, m.p + P_NCHARS, 0, (int)std::min(f.chars.size(), (size_t)JOURNAL_MAXCHARS));
            if (nc < 0 || nc > JOURNAL_MAXCHARS) {
                c.fail();
                return;
            }
            for (int i = 0; i < nc; ++i) g.chars.push_back((uint8_t)codetree(c, m.p + P_CHAR, 8, C::encoding ? f.chars[i] : 0));
        }
    }
    m.down = g.down1;
    m.last = g;
    f = g;
    if (++m.frames % JOURNAL_CHECKEVERY == 0 && c.bit(m.p[P_CHECK], hascheck)) {
        hascheck = 1;
        uint32_t v = 0;
        for (int i = 15; i >= 0; --i) v = v << 1 | (uint32_t)c.direct(check >> i & 1);
        check = v;
    } else {
        hascheck = 0;
    }
}

void put_u8(std::string& o, int v) { o.push_back((char)(uint8_t)v); }
void put_u16(std::string& o, uint32_t v) {
    put_u8(o, v & 0xff);
    put_u8(o, v >> 8 & 0xff);
}
void put_u32(std::string& o, uint32_t v) {
    for (int i = 0; i < 4; ++i) put_u8(o, v >> (8 * i) & 0xff);
}
void put_var(std::string& o, uint32_t v) {
    while (v >= 0x80) {
        put_u8(o, (int)(v & 0x7f) | 0x80);
        v >>= 7;
    }
    put_u8(o, (int)v);
}
void put_zig(std::string& o, int32_t v) { put_var(o, ((uint32_t)v << 1) ^ (uint32_t)(v >> 31)); }
void put_str16(std::string& o, const std::string& s) {
    put_u16(o, (uint32_t)s.size());
    o += s;
}

// A cursor over bytes that refuses to read past the end.
struct reader {
    const uint8_t* p;
    size_t n, at = 0;
    bool ok = true;
    bool need(size_t k) {
        if (!ok || n - at < k) ok = false;
        return ok;
    }
    uint32_t u8() { return need(1) ? p[at++] : 0; }
    uint32_t u16() {
        if (!need(2)) return 0;
        uint32_t v = p[at] | p[at + 1] << 8;
        at += 2;
        return v;
    }
    uint32_t u32() {
        if (!need(4)) return 0;
        uint32_t v = p[at] | p[at + 1] << 8 | p[at + 2] << 16 | (uint32_t)p[at + 3] << 24;
        at += 4;
        return v;
    }
    uint32_t var() {
        uint32_t v = 0;
        for (int shift = 0; shift < 35; shift += 7) {
            uint32_t b = u8();
            if (!ok) return 0;
            if (shift == 28 && b > 0x0f) break;
            v |= (b & 0x7f) << shift;
            if (!(b & 0x80)) return v;
        }
        ok = false;
        return 0;
    }
    int32_t zig() {
        uint32_t v = var();
        return (int32_t)(v >> 1) ^ -(int32_t)(v & 1);
    }
    std::string bytes(size_t k) {
        if (!need(k)) return {};
        std::string s((const char*)p + at, k);
        at += k;
        return s;
    }
};

bool safe_name(const std::string& s) {
    if (s.empty() || s.size() > JOURNAL_MAXNAME || s == "." || s == "..") return false;
    for (unsigned char c : s)
        if (!(std::isalnum(c) || c == '.' || c == '_' || c == '-')) return false;
    return true;
}

bool parse_header(reader& r, jheader* h, std::string* error) {
    if (!r.need(8) || std::memcmp(r.p, MAGIC, 8) != 0) {
        *error = "not a journal (wrong first bytes)";
        return false;
    }
    r.at = 8;
    h->format = (int)r.u32();
    if (r.ok && h->format != JOURNAL_FORMAT) {
        *error = "journal format " + std::to_string(h->format) + (h->format < JOURNAL_FORMAT ? " is from an older" : " is from a newer") +
                 " game; this one plays format " + std::to_string((int)JOURNAL_FORMAT);
        return false;
    }
    uint32_t vlen = r.u16();
    if (vlen > 64) r.ok = false;
    h->version = r.bytes(vlen);
    h->levelshash = r.u32();
    h->textshash = r.u32();
    h->virtw = (int)r.u32();
    h->virth = (int)r.u32();
    h->desktopw = (int)r.u32();
    h->desktoph = (int)r.u32();
    h->seed = (int32_t)r.u32();
    h->newuserfolder = (int)r.u8();
    if (!r.ok) {
        *error = "journal header is cut short";
        return false;
    }
    if (h->newuserfolder > 1 || h->virtw < 1 || h->virth < 1 || h->virtw > 8192 || h->virth > 8192 ||
        h->desktopw < 0 || h->desktoph < 0 || h->desktopw > 65536 || h->desktoph > 65536) {
        *error = "journal header holds impossible values";
        return false;
    }
    return true;
}

// The user files: a count, then name, size and bytes of each, deflated as one.
std::string files_bytes(const std::vector<jfile>& files) {
    std::string raw;
    size_t n = std::min(files.size(), (size_t)JOURNAL_MAXFILES);
    put_var(raw, (uint32_t)n);
    for (size_t i = 0; i < n; ++i) {
        put_str16(raw, files[i].name.substr(0, JOURNAL_MAXNAME));
        put_var(raw, (uint32_t)files[i].bytes.size());
        raw += files[i].bytes;
    }
    uLongf size = compressBound((uLong)raw.size());
    std::string packed(size, '\0');
    if (compress2((Bytef*)packed.data(), &size, (const Bytef*)raw.data(), (uLong)raw.size(), 9) != Z_OK) return {};
    packed.resize(size);
    std::string o;
    put_var(o, (uint32_t)packed.size());
    return o + packed;
}

bool parse_files(reader& r, jheader* h, std::string* error) {
    uint32_t packed = r.var();
    if (!r.ok || packed > (uint32_t)JOURNAL_MAXBODY || !r.need(packed)) {
        *error = "journal is cut short in its user files";
        return false;
    }
    z_stream z;
    std::memset(&z, 0, sizeof z);
    if (inflateInit(&z) != Z_OK) {
        *error = "out of memory";
        return false;
    }
    z.next_in = (Bytef*)(r.p + r.at);
    z.avail_in = packed;
    r.at += packed;
    std::string raw;
    char buf[16384];
    int rc = Z_OK;
    while (rc == Z_OK && raw.size() <= (size_t)JOURNAL_MAXBODY) {
        z.next_out = (Bytef*)buf;
        z.avail_out = sizeof buf;
        rc = inflate(&z, Z_NO_FLUSH);
        raw.append(buf, sizeof buf - z.avail_out);
    }
    const bool whole = rc == Z_STREAM_END && z.avail_in == 0;
    inflateEnd(&z);
    reader f{(const uint8_t*)raw.data(), raw.size()};
    uint32_t n = whole ? f.var() : 0;
    if (!whole || !f.ok || n > JOURNAL_MAXFILES) {
        *error = "journal holds damaged user files";
        return false;
    }
    for (uint32_t i = 0; i < n; ++i) {
        jfile file;
        file.name = f.bytes(f.u16());
        uint32_t size = f.var();
        if (!f.ok || size > JOURNAL_MAXFILEBYTES || !safe_name(file.name) || !f.need(size)) {
            *error = "journal holds a damaged user file record";
            return false;
        }
        file.bytes = f.bytes(size);
        h->files.push_back(std::move(file));
    }
    if (f.at != f.n) {
        *error = "journal holds damaged user files";
        return false;
    }
    return true;
}

// Closes a block: kind, frame count (or the session's frames), payload length, payload, CRC of all of it.
std::string block_bytes(int kind, uint32_t frames, const std::string& payload) {
    std::string o;
    put_u8(o, kind);
    put_var(o, frames);
    put_var(o, (uint32_t)payload.size());
    o += payload;
    put_u32(o, journal_crc(0, o.data(), o.size()));
    return o;
}

// Adds a frame to the runs: a held repeat of the run before lengthens it.
void addframe(journaldata* out, const jframe& f) {
    if (!out->runs.empty()) {
        jrun& last = out->runs.back();
        if (jframe_repeats(last.frame, f) && (last.count > 1 || jframe_repeats(last.frame, last.frame))) {
            ++last.count;
            ++out->frames;
            return;
        }
    }
    out->runs.push_back({f, 1});
    ++out->frames;
}
}  // namespace

bool jframe_repeats(const jframe& prev, const jframe& f) {
    return f.mx == prev.mx && f.my == prev.my && f.down1 == prev.down1 && f.keys == prev.keys && f.hit1 == 0 &&
           f.hit2 == 0 && f.close == 0 && f.tick1 == 0 && f.tick2 == 0 && f.events.empty() && f.chars.empty();
}

jframe jframe_held(const jframe& prev) {
    jframe f;
    f.mx = prev.mx;
    f.my = prev.my;
    f.down1 = prev.down1;
    f.keys = prev.keys;
    return f;
}

jmodel::jmodel() {
    for (uint16_t& v : p) v = PROBONE / 2;
}

uint32_t journal_checkbits(uint32_t sum) { return (sum ^ sum >> 16) & 0xffff; }

std::string journal_header_bytes(const jheader& h) {
    std::string o(MAGIC, 8);
    put_u32(o, (uint32_t)h.format);
    put_str16(o, h.version.substr(0, 64));
    put_u32(o, h.levelshash);
    put_u32(o, h.textshash);
    put_u32(o, (uint32_t)h.virtw);
    put_u32(o, (uint32_t)h.virth);
    put_u32(o, (uint32_t)h.desktopw);
    put_u32(o, (uint32_t)h.desktoph);
    put_u32(o, (uint32_t)h.seed);
    put_u8(o, h.newuserfolder);
    return o + files_bytes(h.files);
}

void journal_write_frame(jwriter* w, const jframe& f, const uint32_t* sum) {
    rcenc c{w};
    jframe g = f;
    uint32_t check = sum ? journal_checkbits(*sum) : 0;
    int has = sum ? 1 : 0;
    codeframe(c, w->m, g, check, has);
    ++w->blockframes;
}

std::string journal_block(jwriter* w) {
    if (w->blockframes == 0) return {};
    rcenc c{w};
    for (int i = 0; i < 5; ++i) c.shiftlow();
    // The coder's first byte is always 0: the reader starts as if it had read it.
    std::string payload = w->out.substr(1);
    std::string o = block_bytes(BLOCK_FRAMES, (uint32_t)w->blockframes, payload);
    w->out.clear();
    w->low = 0;
    w->range = 0xffffffffu;
    w->cache = 0;
    w->cachesize = 1;
    w->blockframes = 0;
    return o;
}

std::string journal_summary_bytes(const jsummary& s) {
    std::string payload;
    put_zig(payload, s.screen);
    put_zig(payload, s.level);
    put_zig(payload, s.score);
    put_u32(payload, s.statesum);
    put_u32(payload, s.filesum);
    return block_bytes(BLOCK_SUMMARY, (uint32_t)s.frames, payload);
}

std::string journal_write_all(const journaldata& j, int blockframes) {
    std::string o = journal_header_bytes(j.header);
    jwriter w;
    size_t check = 0;
    int frame = 0;
    for (const jrun& r : j.runs)
        for (int i = 0; i < r.count; ++i) {
            ++frame;
            while (check < j.checks.size() && j.checks[check].frame < frame) ++check;
            const bool has = check < j.checks.size() && j.checks[check].frame == frame;
            // The kept bits fold to themselves.
            const uint32_t sum = has ? j.checks[check].sum : 0;
            journal_write_frame(&w, i == 0 ? r.frame : jframe_held(r.frame), has ? &sum : nullptr);
            if (w.blockframes >= blockframes) o += journal_block(&w);
        }
    o += journal_block(&w);
    if (j.finished) o += journal_summary_bytes(j.summary);
    return o;
}

uint32_t journal_crc(uint32_t crc, const void* data, size_t size) {
    const Bytef* p = (const Bytef*)data;
    while (size > 0) {
        uInt k = (uInt)std::min(size, (size_t)1 << 30);
        crc = (uint32_t)crc32(crc, p, k);
        p += k;
        size -= k;
    }
    return crc;
}

int journal_parse(const uint8_t* data, size_t size, journaldata* out, std::string* error) {
    *out = journaldata();
    error->clear();
    reader r{data, size};
    if (!parse_header(r, &out->header, error)) return JOURNAL_BAD;
    if (!parse_files(r, &out->header, error)) return JOURNAL_BAD;

    jmodel m;
    const char* cut = nullptr;
    while (r.at < r.n) {
        const size_t start = r.at;
        const int kind = (int)r.u8();
        const uint32_t frames = r.var();
        const uint32_t length = r.var();
        if (r.ok && (length > MAXBLOCKBYTES || (kind != BLOCK_FRAMES && kind != BLOCK_SUMMARY))) {
            *error = "journal block damaged after frame " + std::to_string(out->frames);
            return JOURNAL_BAD;
        }
        if (!r.ok || !r.need((size_t)length + 4)) {
            cut = " (its last block is cut short)";
            break;
        }
        const uint8_t* payload = r.p + r.at;
        r.at += length;
        const uint32_t crc = r.u32();
#ifndef FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION  // the fuzzer reaches the frame decoder without forging CRCs
        if (crc != journal_crc(0, data + start, r.at - 4 - start)) {
#else
        if (crc == 0xdeadbeefu) {
#endif
            *error = "journal block damaged after frame " + std::to_string(out->frames);
            return JOURNAL_BAD;
        }
        if (kind == BLOCK_SUMMARY) {
            reader p{payload, length};
            jsummary s;
            s.frames = (int)frames;
            s.screen = p.zig();
            s.level = p.zig();
            s.score = p.zig();
            s.statesum = p.u32();
            s.filesum = p.u32();
            if (!p.ok || p.at != p.n || frames != (uint32_t)out->frames || r.at != r.n) {
                *error = "journal summary does not match its frames";
                return JOURNAL_BAD;
            }
            out->summary = s;
            out->finished = 1;
            return JOURNAL_COMPLETE;
        }
        if (frames == 0 || frames > (uint32_t)(JOURNAL_MAXFRAMES - out->frames)) {
            *error = frames == 0 ? "journal block damaged after frame " + std::to_string(out->frames)
                                 : std::string("journal holds too many frames");
            return JOURNAL_BAD;
        }
        rcdec c(payload, length);
        for (uint32_t i = 0; i < frames && !c.bad; ++i) {
            jframe f;
            uint32_t check = 0;
            int has = 0;
            codeframe(c, m, f, check, has);
            if (c.bad) break;
            addframe(out, f);
            if (has) out->checks.push_back({out->frames, check});
        }
        if (c.bad || c.at != c.n) {
            *error = "journal block damaged after frame " + std::to_string(out->frames);
            return JOURNAL_BAD;
        }
    }
    *error = "journal ends at frame " + std::to_string(out->frames) + " without its summary" +
             (cut ? cut : " (the session did not end normally)");
    return JOURNAL_CUT;
}
