#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "app/display.h"
#include "app/screenflow.h"
#include "app/shell.h"
#include "aztec/catalogue.h"
#include "aztec/levelrun.h"
#include "effects/particles.h"
#include "platform/inject.h"
#include "platform/input.h"
#include "platform/paths.h"
#include "storage/players.h"
#include "storage/settings.h"
#include "support/headless.h"
#include "texts/fonts.h"
#include "texts/texttables.h"
#include "ui/helppages.h"
#include "ui/popups.h"

namespace {
// How many wrapped lines each text of a page may take before it runs into the illustration, the next text or
// the buttons: {line of section 13, width, lines allowed}.
struct Slot {
    int line, width, lines;
};
const std::vector<Slot> PAGE_TEXTS[HELPPAGES + 1] = {
    {},
    {{6, 460, 1}, {7, 460, 2}},                             // the cannon's light hangs just under the first line
    {{12, 460, 1}, {13, 460, 1}},                           // both above the light
    {{18, 460, 2}, {19, 460, 2}},
    {{24, 460, 3}, {25, 460, 3}},
    {{30, 460, 3}, {31, 460, 3}},
    {{36, 460, 2}, {37, 460, 2}},
    {{42, 460, 2}, {43, 460, 2}},
    {{48, 460, 2}, {49, 460, 2}},
    {{54, 460, 2}, {55, 460, 2}},
    {{59, 460, 1}, {60, 460, 3}, {61, 460, 2}},
    {{65, 460, 1}, {66, 590, 1}, {67, 590, 2}, {68, 590, 3}},
};

TEST(HelpTexts, EveryPageHasItsTextsAndTheyFitTheirPlaces) {
    const std::string file = build_dir() + "/data/texts/gametexts.txt";
    if (!std::filesystem::exists(file)) GTEST_SKIP() << "no generated text tables";
    basedir = build_dir() + "/";
    readgametexts();
    buildfonttables();
    for (int n = 1; n <= 4; ++n) EXPECT_FALSE(gametext(13, n).empty()) << "line " << n;
    for (int p = 1; p <= HELPPAGES; ++p) {
        for (const Slot& s : PAGE_TEXTS[p]) {
            const std::string& t = gametext(13, s.line);
            EXPECT_FALSE(t.empty()) << "page " << p << " line " << s.line;
            std::string lines[WRAPLINES];
            const int n = wraptext(4, t, s.width, 1, lines, WRAPLINES);
            EXPECT_LE(n, s.lines) << "page " << p << " line " << s.line << ": " << t;
            // No line of a wrapped paragraph is left with a single short word.
            if (n > 1) {
                EXPECT_GT(lines[n - 1].size(), 8u) << "page " << p << " line " << s.line << ": " << t;
            }
        }
    }
    // Button captions fit the small buttons.
    for (int n = 2; n <= 4; ++n) EXPECT_LE(textwidth(2, gametext(13, n), 1), 130) << gametext(13, n);
}
}  // namespace
