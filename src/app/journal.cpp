#include "app/journal.h"

#include <zlib.h>

#include <algorithm>
#include <cctype>
#include <cstring>

namespace {
const char MAGIC[8] = {'O', 'M', 'B', 'J', 'R', 'N', 'L', '1'};

// Body record tags.
enum { TAG_FRAME = 1, TAG_REPEAT = 2, TAG_CHECK = 3, TAG_SUMMARY = 4, TAG_FILE = 5 };
// Which parts a frame record carries.
enum { F_MOUSE = 1, F_HELD = 2, F_HITS = 4, F_TICKS = 8, F_CLOSE = 16, F_EVENTS = 32, F_CHARS = 64 };

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
        *error = "journal format " + std::to_string(h->format) + " is not known to this game";
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

// Inflates as much of the body as there is; `whole` is set when the stream ended properly.
bool inflate_body(const uint8_t* data, size_t size, std::string* out, bool* whole, std::string* error) {
    *whole = false;
    z_stream z;
    std::memset(&z, 0, sizeof z);
    if (inflateInit(&z) != Z_OK) {
        *error = "out of memory";
        return false;
    }
    z.next_in = (Bytef*)data;
    z.avail_in = (uInt)std::min(size, (size_t)0x7fffffff);
    char buf[16384];
    int rc = Z_OK;
    while (rc == Z_OK) {
        z.next_out = (Bytef*)buf;
        z.avail_out = sizeof buf;
        rc = inflate(&z, Z_NO_FLUSH);
        out->append(buf, sizeof buf - z.avail_out);
        if (out->size() > JOURNAL_MAXBODY) {
            inflateEnd(&z);
            *error = "journal body is too large";
            return false;
        }
        if (rc == Z_BUF_ERROR && z.avail_in == 0) break;  // cut short: keep what came through
    }
    inflateEnd(&z);
    if (rc == Z_STREAM_END) {
        *whole = true;
        return true;
    }
    if (rc == Z_BUF_ERROR || rc == Z_OK) return true;
    // A session killed in the middle of a write leaves a broken last block: what came before it still plays.
    if (rc == Z_DATA_ERROR && !out->empty()) return true;
    *error = "journal body is damaged";
    return false;
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
    return o;
}

void journal_put_frame(std::string& body, const jframe& prev, const jframe& f) {
    int flags = 0;
    if (f.mx != prev.mx || f.my != prev.my) flags |= F_MOUSE;
    if (f.down1 != prev.down1 || f.keys != prev.keys) flags |= F_HELD;
    if (f.hit1 || f.hit2) flags |= F_HITS;
    if (f.tick1 || f.tick2) flags |= F_TICKS;
    if (f.close) flags |= F_CLOSE;
    if (!f.events.empty()) flags |= F_EVENTS;
    if (!f.chars.empty()) flags |= F_CHARS;
    put_u8(body, TAG_FRAME);
    put_u8(body, flags);
    if (flags & F_MOUSE) {
        put_zig(body, f.mx - prev.mx);
        put_zig(body, f.my - prev.my);
    }
    if (flags & F_HELD) put_var(body, (uint32_t)((f.keys & 0xff) << 1 | (f.down1 ? 1 : 0)));
    if (flags & F_HITS) put_u8(body, std::min(f.hit1, 3) | std::min(f.hit2, 3) << 2);
    if (flags & F_TICKS) put_u8(body, std::min(f.tick1, 15) | std::min(f.tick2, 15) << 4);
    if (flags & F_EVENTS) {
        size_t n = std::min(f.events.size(), (size_t)JOURNAL_MAXEVENTS);
        put_var(body, (uint32_t)n);
        for (size_t i = 0; i < n; ++i) put_u8(body, f.events[i] ? 1 : 0);
    }
    if (flags & F_CHARS) {
        size_t n = std::min(f.chars.size(), (size_t)JOURNAL_MAXCHARS);
        put_var(body, (uint32_t)n);
        body.append((const char*)f.chars.data(), n);
    }
}

void journal_put_file(std::string& body, const jfile& f) {
    put_u8(body, TAG_FILE);
    put_str16(body, f.name.substr(0, JOURNAL_MAXNAME));
    put_var(body, (uint32_t)f.bytes.size());
    body += f.bytes;
}

void journal_put_repeat(std::string& body, int count) {
    if (count <= 0) return;
    put_u8(body, TAG_REPEAT);
    put_var(body, (uint32_t)count);
}

void journal_put_check(std::string& body, int frame, uint32_t sum) {
    put_u8(body, TAG_CHECK);
    put_var(body, (uint32_t)frame);
    put_u32(body, sum);
}

void journal_put_summary(std::string& body, const jsummary& s) {
    put_u8(body, TAG_SUMMARY);
    put_var(body, (uint32_t)s.frames);
    put_zig(body, s.screen);
    put_zig(body, s.level);
    put_zig(body, s.score);
    put_u32(body, s.statesum);
    put_u32(body, s.filesum);
}

std::string journal_deflate(const std::string& body) {
    uLongf n = compressBound((uLong)body.size());
    std::string out(n, '\0');
    if (compress2((Bytef*)out.data(), &n, (const Bytef*)body.data(), (uLong)body.size(), 6) != Z_OK) return {};
    out.resize(n);
    return out;
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
    reader hr{data, size};
    if (!parse_header(hr, &out->header, error)) return JOURNAL_BAD;

    std::string body;
    bool whole = false;
    if (!inflate_body(data + hr.at, size - hr.at, &body, &whole, error)) return JOURNAL_BAD;

    reader r{(const uint8_t*)body.data(), body.size()};
    jframe prev;
    size_t good = 0;  // body bytes up to the last whole record
    while (r.ok && r.at < r.n) {
        int tag = (int)r.u8();
        if (tag == TAG_FRAME) {
            int flags = (int)r.u8();
            if (flags & ~0x7f) {
                *error = "journal record damaged at frame " + std::to_string(out->frames + 1);
                return JOURNAL_BAD;
            }
            jframe f = jframe_held(prev);
            if (flags & F_MOUSE) {
                int64_t x = (int64_t)prev.mx + r.zig(), y = (int64_t)prev.my + r.zig();
                if (x < -100000 || x > 100000 || y < -100000 || y > 100000) r.ok = false;
                f.mx = (int)x;
                f.my = (int)y;
            }
            if (flags & F_HELD) {
                uint32_t v = r.var();
                if (v > 0x1ff) r.ok = false;
                f.down1 = (int)(v & 1);
                f.keys = (int)(v >> 1);
            }
            if (flags & F_HITS) {
                uint32_t v = r.u8();
                f.hit1 = (int)(v & 3);
                f.hit2 = (int)(v >> 2 & 3);
            }
            if (flags & F_TICKS) {
                uint32_t v = r.u8();
                f.tick1 = (int)(v & 15);
                f.tick2 = (int)(v >> 4);
            }
            if (flags & F_CLOSE) f.close = 1;
            if (flags & F_EVENTS) {
                uint32_t n = r.var();
                if (n > JOURNAL_MAXEVENTS) r.ok = false;
                for (uint32_t i = 0; r.ok && i < n; ++i) f.events.push_back(r.u8() ? 1 : 0);
            }
            if (flags & F_CHARS) {
                uint32_t n = r.var();
                if (n > JOURNAL_MAXCHARS) r.ok = false;
                std::string s = r.bytes(r.ok ? n : 0);
                f.chars.assign(s.begin(), s.end());
            }
            if (!r.ok) break;
            if (out->frames >= JOURNAL_MAXFRAMES) {
                *error = "journal holds too many frames";
                return JOURNAL_BAD;
            }
            out->runs.push_back({f, 1});
            ++out->frames;
            prev = f;
        } else if (tag == TAG_REPEAT) {
            uint32_t n = r.var();
            if (!r.ok) break;
            if (out->runs.empty() || n == 0 || n > (uint32_t)(JOURNAL_MAXFRAMES - out->frames)) {
                *error = "journal record damaged at frame " + std::to_string(out->frames + 1);
                return JOURNAL_BAD;
            }
            jrun& last = out->runs.back();
            if (jframe_repeats(last.frame, last.frame)) {
                last.count += (int)n;
            } else {
                out->runs.push_back({jframe_held(last.frame), (int)n});
            }
            out->frames += (int)n;
        } else if (tag == TAG_FILE) {
            jfile f;
            f.name = r.bytes(r.u16());
            uint32_t size = r.var();
            if (r.ok && (size > JOURNAL_MAXFILEBYTES || !safe_name(f.name) || !out->runs.empty() ||
                         out->header.files.size() >= JOURNAL_MAXFILES)) {
                *error = "journal holds a damaged user file record";
                return JOURNAL_BAD;
            }
            f.bytes = r.bytes(r.ok ? size : 0);
            if (!r.ok) break;
            out->header.files.push_back(std::move(f));
        } else if (tag == TAG_CHECK) {
            uint32_t frame = r.var();
            uint32_t sum = r.u32();
            if (!r.ok) break;
            if (frame == 0 || frame > (uint32_t)out->frames ||
                (!out->checks.empty() && (int)frame <= out->checks.back().frame)) {
                *error = "journal checksum record out of order at frame " + std::to_string(out->frames);
                return JOURNAL_BAD;
            }
            out->checks.push_back({(int)frame, sum});
        } else if (tag == TAG_SUMMARY) {
            jsummary s;
            s.frames = (int)r.var();
            s.screen = r.zig();
            s.level = r.zig();
            s.score = r.zig();
            s.statesum = r.u32();
            s.filesum = r.u32();
            if (!r.ok) break;
            if (s.frames != out->frames || r.at != r.n) {
                *error = "journal summary does not match its frames";
                return JOURNAL_BAD;
            }
            out->summary = s;
            out->finished = 1;
            good = r.at;
            break;
        } else {
            *error = "journal record damaged at frame " + std::to_string(out->frames + 1);
            return JOURNAL_BAD;
        }
        good = r.at;
    }
    (void)good;
    if (out->finished && whole) return JOURNAL_COMPLETE;
    *error = "journal ends at frame " + std::to_string(out->frames) + " without its summary" +
             (out->finished ? " (damaged end)" : " (the session did not end normally)");
    out->finished = 0;
    return JOURNAL_CUT;
}
