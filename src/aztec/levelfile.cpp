#include "aztec/levelfile.h"

#include <cstdint>
#include <cstdio>

namespace {
int32_t fromle(const unsigned char* b) {
    return (int32_t)((uint32_t)b[0] | (uint32_t)b[1] << 8 | (uint32_t)b[2] << 16 | (uint32_t)b[3] << 24);
}
void tole(int32_t v, unsigned char* b) {
    uint32_t u = (uint32_t)v;
    b[0] = u & 0xff;
    b[1] = (u >> 8) & 0xff;
    b[2] = (u >> 16) & 0xff;
    b[3] = (u >> 24) & 0xff;
}
// Reads n ints; 0 when the file ends first.
int readints(FILE* f, int* out, int n) {
    unsigned char buf[LEVELRECORD_INTS * 4];
    if (n > LEVELRECORD_INTS) return 0;
    if (fread(buf, 4, (size_t)n, f) != (size_t)n) return 0;
    for (int i = 0; i < n; ++i) out[i] = fromle(buf + 4 * i);
    return 1;
}
}  // namespace

levelrecord emptylevelrecord() {
    levelrecord r;
    for (int n = 0; n <= CATALOGUE_CELLS; ++n) {
        r.stonecode[n] = -1;
        r.chaincode[n] = -1;
    }
    r.challenge = 1;
    r.type = 1;
    r.time3 = 60;
    r.time2 = 120;
    r.moves3 = 20;
    r.moves2 = 30;
    return r;
}

int levelcell(int c, int r) { return r * 12 + c + 1; }

void decodelevelrecord(const int* ints, levelrecord* out) {
    out->stonecode[0] = out->chaincode[0] = -1;
    for (int n = 1; n <= CATALOGUE_CELLS; ++n) {
        out->stonecode[n] = ints[2 * (n - 1)];
        out->chaincode[n] = ints[2 * (n - 1) + 1];
    }
    const int* tail = ints + 2 * CATALOGUE_CELLS;
    out->challenge = tail[0];
    out->type = tail[1];
    out->time3 = tail[2];
    out->time2 = tail[3];
    out->moves3 = tail[4];
    out->moves2 = tail[5];
}

void encodelevelrecord(const levelrecord& rec, int* ints) {
    for (int n = 1; n <= CATALOGUE_CELLS; ++n) {
        ints[2 * (n - 1)] = rec.stonecode[n];
        ints[2 * (n - 1) + 1] = rec.chaincode[n];
    }
    int* tail = ints + 2 * CATALOGUE_CELLS;
    tail[0] = rec.challenge;
    tail[1] = rec.type;
    tail[2] = rec.time3;
    tail[3] = rec.time2;
    tail[4] = rec.moves3;
    tail[5] = rec.moves2;
}

int readlevelrecord(const std::string& path, int level, levelrecord* out) {
    if (level < 1) return 0;
    FILE* f = fopen(path.c_str(), "rb");
    if (!f) return 0;
    int ok = 0;
    long offset = 8L + (long)(level - 1) * LEVELRECORD_INTS * 4;
    if (fseek(f, offset, SEEK_SET) == 0) {
        int ints[LEVELRECORD_INTS];
        if (readints(f, ints, LEVELRECORD_INTS)) {
            decodelevelrecord(ints, out);
            ok = 1;
        }
    }
    fclose(f);
    return ok;
}

std::vector<levelrecord> readlevelfile(const std::string& path) {
    std::vector<levelrecord> levels;
    FILE* f = fopen(path.c_str(), "rb");
    if (!f) return levels;
    int header[2];
    if (readints(f, header, 2)) {
        int ints[LEVELRECORD_INTS];
        while (readints(f, ints, LEVELRECORD_INTS)) {
            levelrecord r;
            decodelevelrecord(ints, &r);
            levels.push_back(r);
        }
    }
    fclose(f);
    return levels;
}

int writelevelfile(const std::string& path, const std::vector<levelrecord>& levels) {
    FILE* f = fopen(path.c_str(), "wb");
    if (!f) return 0;
    unsigned char buf[LEVELRECORD_INTS * 4];
    int ok = 1;
    tole(0, buf);
    tole(0, buf + 4);
    ok &= fwrite(buf, 1, 8, f) == 8;
    size_t count = levels.size() < CATALOGUE_LEVELS ? (size_t)CATALOGUE_LEVELS : levels.size();
    levelrecord blank = emptylevelrecord();
    for (size_t i = 0; i < count; ++i) {
        int ints[LEVELRECORD_INTS];
        encodelevelrecord(i < levels.size() ? levels[i] : blank, ints);
        for (int k = 0; k < LEVELRECORD_INTS; ++k) tole(ints[k], buf + 4 * k);
        ok &= fwrite(buf, 4, LEVELRECORD_INTS, f) == LEVELRECORD_INTS;
    }
    ok &= fclose(f) == 0;
    return ok;
}

bool decodecatalogue(const std::string& bytes, catalogue* out, std::string* error) {
    if ((long)bytes.size() < levelfile_bytes) {
        if (error)
            *error = "too short (" + std::to_string(bytes.size()) + " of " + std::to_string(levelfile_bytes) +
                     " bytes)";
        return false;
    }
    const unsigned char* b = (const unsigned char*)bytes.data();
    catalogue cat;
    cat.header[0] = fromle(b);
    cat.header[1] = fromle(b + 4);
    cat.levels.resize(CATALOGUE_LEVELS);
    int ints[LEVELRECORD_INTS];
    for (int n = 0; n < CATALOGUE_LEVELS; ++n) {
        const unsigned char* rec = b + 8 + (size_t)n * LEVELRECORD_INTS * 4;
        for (int k = 0; k < LEVELRECORD_INTS; ++k) ints[k] = fromle(rec + 4 * k);
        decodelevelrecord(ints, &cat.levels[(size_t)n]);
    }
    *out = std::move(cat);
    return true;
}

std::string encodecatalogue(const catalogue& cat) {
    std::string out((size_t)levelfile_bytes, '\0');
    unsigned char* b = (unsigned char*)out.data();
    tole(cat.header[0], b);
    tole(cat.header[1], b + 4);
    const levelrecord blank = emptylevelrecord();
    int ints[LEVELRECORD_INTS];
    for (int n = 0; n < CATALOGUE_LEVELS; ++n) {
        encodelevelrecord((size_t)n < cat.levels.size() ? cat.levels[(size_t)n] : blank, ints);
        unsigned char* rec = b + 8 + (size_t)n * LEVELRECORD_INTS * 4;
        for (int k = 0; k < LEVELRECORD_INTS; ++k) tole(ints[k], rec + 4 * k);
    }
    return out;
}
