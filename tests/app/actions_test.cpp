// The keyboard's and pads' actions: how a frame's key bits become presses, and how journals carry them (and
// how journals of older games, without them, still read exactly as before).
#include <gtest/gtest.h>

#include <string>

#include "app/journal.h"
#include "app/shell.h"
#include "globals.h"
#include "ui/popups.h"

namespace {
int parse(const std::string& bytes, journaldata* j, std::string* error) {
    return journal_parse((const uint8_t*)bytes.data(), bytes.size(), j, error);
}

journaldata session(int actions) {
    journaldata j;
    j.header.version = "test";
    j.header.virtw = 1024;
    j.header.virth = 768;
    j.header.actions = actions;
    const int keys[] = {0, JKEY_RIGHT | JKEY_DEVKEYS, JKEY_DEVKEYS, JKEY_RETURN | JKEY_DEVKEYS,
                        JKEY_CONFIRM | JKEY_DEVPAD | JKEY_PADKIND2, JKEY_DEVPAD | JKEY_PADKIND1 | JKEY_SWAP,
                        JKEY_ESCAPE | JKEY_F8};
    for (int k : keys) {
        jframe f;
        f.mx = 100;
        f.keys = k;
        j.runs.push_back({f, 3});
        j.frames += 3;
    }
    return j;
}
}  // namespace

TEST(ActionJournal, ActionBitsComeBackAndOldJournalsKeepTheirEightKeys) {
    journaldata back;
    std::string error;
    ASSERT_EQ(parse(journal_write_all(session(1)), &back, &error), JOURNAL_CUT) << error;
    EXPECT_EQ(back.header.actions, 1);
    journaldata want = session(1);
    ASSERT_EQ(back.frames, want.frames);
    size_t r = 0;
    for (const jrun& run : want.runs) {
        int held = run.count;
        while (held > 0 && r < back.runs.size()) {
            EXPECT_EQ(back.runs[r].frame.keys, run.frame.keys);
            held -= back.runs[r++].count;
        }
    }
    // A journal of a game before the actions: the header says so, and only the first eight key bits are coded
    // (what such a game wrote), so its frames decode bit for bit as that game read them.
    journaldata old = session(0);
    for (jrun& run : old.runs) run.frame.keys &= 0xff;
    const std::string oldbytes = journal_write_all(old);
    journaldata oldback;
    ASSERT_EQ(parse(oldbytes, &oldback, &error), JOURNAL_CUT) << error;
    EXPECT_EQ(oldback.header.actions, 0);
    for (const jrun& run : oldback.runs) EXPECT_EQ(run.frame.keys & ~0xff, 0);
    // The flags byte holds nothing else: a header claiming more is refused.
    journaldata odd = session(1);
    std::string bytes = journal_write_all(odd);
    const size_t flagsat = 8 + 4 + 2 + odd.header.version.size() + 4 * 7;
    ASSERT_EQ((int)(uint8_t)bytes[flagsat], 2);
    bytes[flagsat] = 4;
    EXPECT_EQ(parse(bytes, &oldback, &error), JOURNAL_BAD);
}

TEST(Actions, PressesRepeatWhileHeldAndEnterConfirmsOnlyWithTheKeysInHand) {
    resetactions();
    popupkind = 0;
    takeactions(JKEY_LEFT | JKEY_DEVKEYS);
    EXPECT_EQ(actpress, ACT_LEFT);
    EXPECT_EQ(inputdevice, DEVICE_KEYS);
    int presses = 1;
    for (int f = 2; f <= 50; ++f) {
        takeactions(JKEY_LEFT | JKEY_DEVKEYS);
        if (actpress & ACT_LEFT) ++presses;
    }
    EXPECT_EQ(presses, 1 + (50 - 18) / 6);  // a pause, then a steady rate
    takeactions(JKEY_CONFIRM | JKEY_DEVPAD);
    EXPECT_EQ(actpress, ACT_CONFIRM);
    takeactions(JKEY_CONFIRM | JKEY_DEVPAD);
    EXPECT_EQ(actpress, 0) << "confirm presses once however long it is held";
    EXPECT_EQ(inputdevice, DEVICE_PAD);
    // Enter of a mouse player (and of every journal before the actions) presses nothing.
    takeactions(JKEY_RETURN);
    EXPECT_EQ(actheld, 0);
    EXPECT_EQ(inputdevice, DEVICE_MOUSE);
    takeactions(JKEY_RETURN | JKEY_DEVKEYS);
    EXPECT_EQ(actpress, ACT_CONFIRM);
    // In the name entry Enter and Space belong to the text.
    takeactions(JKEY_DEVKEYS);
    popupkind = 105;
    takeactions(JKEY_SPACE | JKEY_DEVKEYS);
    EXPECT_EQ(actheld, 0);
    popupkind = 0;
    takeactions(JKEY_DEVPAD | JKEY_PADKIND2);
    EXPECT_EQ(padkind, PADKIND_SWAPPED);
    resetactions();
}
