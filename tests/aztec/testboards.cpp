#include "testboards.h"

#include <string>

namespace {
// Builds a record from rows drawn bottom row first. Per cell: "." empty, "1".."9" colour, "F" floor,
// "I" inert, "S" a stone that reads as inert (10..19), "V" variant of random colour, "a".."i" variant of
// colour 1..9 (where the catalogue has one), "G"/"H"/"J" granite needing 3/2/1 hits, "A"/"B"/"C" animals.
// A second string of the same shape gives chain counts ("1".."3", anything else none).
levelrecord board(int challenge, const std::vector<std::string>& rows, const std::vector<std::string>& chains = {}) {
    levelrecord rec = emptylevelrecord();
    rec.challenge = challenge;
    for (size_t r = 0; r < rows.size(); ++r) {
        for (int c = 0; c < 12 && c < (int)rows[r].size(); ++c) {
            char ch = rows[r][c];
            int code = -1;
            if (ch >= '1' && ch <= '9') code = ch - '1';
            if (ch >= 'a' && ch <= 'i') code = 60 + (ch - 'a');
            switch (ch) {
            case 'F': code = 9; break;
            case 'I': code = 20 + (c % 9); break;
            case 'S': code = 10 + (c % 10); break;
            case 'V': code = 61; break;
            case 'G': code = 71; break;
            case 'H': code = 72; break;
            case 'J': code = 73; break;
            case 'A': code = 91; break;
            case 'B': code = 92; break;
            case 'C': code = 93; break;
            default: break;
            }
            const int n = levelcell(c, (int)r);
            rec.stonecode[n] = code;
            if (r < chains.size() && c < (int)chains[r].size() && chains[r][c] >= '1' && chains[r][c] <= '3')
                rec.chaincode[n] = chains[r][c] - '1';
        }
    }
    return rec;
}
}  // namespace

std::vector<levelrecord> testboards() {
    return {
        // Plain colours, three rows.
        board(1, {"112233441122", "334411223344", "1.2.3.4.1.2."}),
        // Chains on colour stones.
        board(2, {"123412341234", "412341234123", "3...2...1..."},
                 {"1..2..1..3..", "..1..2..1...", "1...1......."}),
        // Variant stones, cleared only by superstone explosions.
        board(1, {"1155a5511222", "..2.c..2..1.", "...V........"}),
        // Granite and animals among colours.
        board(2, {"1G2H3J1G2H3J", "A1B2C3A1B2C3", "121212343434"}),
        // Inert stones, inert-reading codes and a floor stone inside the stack.
        board(1, {"I12I34I12I34", "S3FS12S34S21", "1.2.3.4.1.2."}),
        // A tall stack that makes the board scroll.
        board(2, {"123412341234", "234123412341", "341234123412", "412341234123", "123412341234", "234123412341",
                  "3..4..1..2..", "4..........."}),
    };
}
