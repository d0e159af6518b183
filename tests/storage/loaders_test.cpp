// The pure loaders: bytes in, a record out, and the writers give back the very bytes the game's formats fix.
#include <gtest/gtest.h>

#include "app/profiles.h"
#include "aztec/board.h"
#include "aztec/levelfile.h"
#include "aztec/levelrun.h"
#include "platform/imagefile.h"
#include "platform/wavfile.h"
#include "screens/splashconfig.h"
#include "storage/settings.h"
#include "support/headless.h"

TEST(Loaders, ProfilesKeepEveryValueAndTheirSize) {
    profilerecord r = blankprofile();
    r.name = "ALICE";
    r.level = 42;
    r.maxlevel = 43;
    r.score = 84300;
    r.levelinprogress = 1;
    r.savedscroll = -64;
    r.restable[29] = -7;
    r.m3res2[199] = 22;
    r.stone[0] = {32, 96, 7, 44, 1, 3, 5, 2, {1, 0, -1}};
    r.stone[499].kind = 93;
    const std::string bytes = encodeprofile(r);
    ASSERT_EQ(bytes.size(), 28713u);
    EXPECT_EQ(bytes.substr(28708), "ALICE");
    profilerecord back;
    EXPECT_TRUE(decodeprofile(bytes, &back, nullptr));
    EXPECT_EQ(back, r);
    EXPECT_EQ(encodeprofile(back), bytes);
    EXPECT_EQ(encodeprofile(blankprofile()).size(), 28708u);

    // The game's slot tables go through the same record: a slot applied from a record collects back to it.
    applyplayer(9, r);
    EXPECT_EQ(collectplayer(9), r);
    EXPECT_EQ(stone_kind[9][500], 93);
    EXPECT_EQ(encodeplayer(9), bytes);
    resetplayer(9);
}

TEST(Loaders, ImpossibleProfileValuesAreReplacedAndSaid) {
    profilerecord r = blankprofile();
    r.name = "BOB";
    r.levelinprogress = 1;
    r.stone[3] = {2147483647, -2147483647, 5, 0, 0, 0, 0, 0, {0, 0, 0}};  // a stone far off the board
    r.score = -5;
    r.playseconds = 2147483647;
    r.levelstars[4] = 99;
    std::string problem;
    profilerecord back;
    EXPECT_FALSE(decodeprofile(encodeprofile(r), &back, &problem));
    EXPECT_NE(problem.find("stored board"), std::string::npos) << problem;
    EXPECT_EQ(back.levelinprogress, 0);
    EXPECT_EQ(back.stone[3].kind, -1);
    EXPECT_EQ(back.score, 0);
    EXPECT_EQ(back.playseconds, 0);
    EXPECT_EQ(back.levelstars[4], 0);
    EXPECT_EQ(back.name, "BOB");
    // What the decoder gives is sound: it decodes to itself.
    profilerecord again;
    EXPECT_TRUE(decodeprofile(encodeprofile(back), &again, nullptr));
    EXPECT_EQ(again, back);
}

TEST(Loaders, SettingsAreSevenCrLfLines) {
    settingsrecord r{{0, 3, 542, 0, 7, 0, 1}};
    const std::string text = encodesettings(r);
    EXPECT_EQ(text, "0\r\n3\r\n542\r\n0\r\n7\r\n0\r\n1\r\n");
    EXPECT_EQ(decodesettings(text), r);
    EXPECT_EQ(decodesettings(""), defaultsettings());
    // A long line is read only as far as a number can go; a player outside the slots means none.
    settingsrecord odd = decodesettings("1" + std::string(1 << 20, '0') + "\n1\n1\n1\n99\n");
    EXPECT_EQ(odd.value[0], 2147483647);
    EXPECT_EQ(odd.value[4], -1);
    EXPECT_EQ(odd.value[5], 1);
}

TEST(Loaders, BestTimesAre3200Bytes) {
    besttimesrecord r = blankbesttimes();
    r.time[0] = 61;
    r.name[0] = "ANNA";
    r.time[199] = 5;
    r.name[199] = "TWELVE CHARS";
    const std::string bytes = encodebesttimes(r);
    ASSERT_EQ(bytes.size(), 3200u);
    EXPECT_EQ(bytes.substr(4, 12), "ANNA        ");
    besttimesrecord back;
    EXPECT_TRUE(decodebesttimes(bytes, &back));
    EXPECT_EQ(back, r);
    EXPECT_FALSE(decodebesttimes(bytes.substr(0, 100), &back));
    EXPECT_EQ(back.time[6], -1);
    EXPECT_EQ(back.time[0], 61);
}

TEST(Loaders, TheShippedCatalogueReencodesByteForByte) {
    const std::string bytes = file_bytes(build_dir() + "/data/levelz/levels.lvl");
    ASSERT_EQ(bytes.size(), 176408u);
    catalogue c;
    std::string error;
    ASSERT_TRUE(decodecatalogue(bytes, &c, &error)) << error;
    EXPECT_EQ(c.levels.size(), 150u);
    EXPECT_EQ(encodecatalogue(c), bytes);
    EXPECT_FALSE(decodecatalogue(bytes.substr(0, 176407), &c, &error));
    EXPECT_NE(error.find("too short"), std::string::npos);
    // Bytes past the catalogue are never read.
    catalogue longer;
    ASSERT_TRUE(decodecatalogue(bytes + "tail", &longer, &error));
    EXPECT_EQ(longer, c);
}

TEST(Loaders, SplashConfigurationRecords) {
    const splashconfig c = parsesplashconfig("file a.png\ntime 150\nskip true\n;---\r\nfile none\r\ntime 9\r\n");
    EXPECT_EQ(c.file[1], "a.png");
    EXPECT_EQ(c.time[1], 150);
    EXPECT_EQ(c.skip[1], 1);
    EXPECT_EQ(c.file[2], "none");
    EXPECT_EQ(c.time[2], 9);
    EXPECT_EQ(c.count, 1);
    const splashconfig huge = parsesplashconfig("file " + std::string(8 << 20, 'x') + "\n");
    EXPECT_EQ(huge.file[1].size(), (size_t)SPLASHLINE_MAX - 5);
}

TEST(Loaders, WavFilesOfEveryPlainSampleFormat) {
    wavsound s;
    s.channels = 2;
    s.rate = 22050;
    s.samples = {0, 1, -1, 32767, -32768, 1234};
    wavsound back;
    std::string error;
    ASSERT_TRUE(decode_wav_bytes(encode_wav(s), &back, &error)) << error;
    EXPECT_EQ(back.channels, 2);
    EXPECT_EQ(back.rate, 22050);
    EXPECT_EQ(back.samples, s.samples);
    // 8-bit samples are unsigned around 128; a cut data chunk keeps its whole frames.
    std::string eight = encode_wav(s);
    eight[34] = 8;                        // bits per sample
    eight = eight.substr(0, 44 + 5);      // five bytes of data: two stereo frames
    ASSERT_TRUE(decode_wav_bytes(eight, &back, &error)) << error;
    EXPECT_EQ(back.samples.size(), 4u);
    EXPECT_EQ(back.samples[0], -32768);   // byte 0 of sample 0 (value 0) is 128 below the middle
    EXPECT_FALSE(decode_wav_bytes("RIFF\0\0\0\0WAVE", &back, &error));
    EXPECT_FALSE(decode_wav_bytes(std::string("RIFF\x24\0\0\0WAVEfmt \x10\0\0\0\x01\0\x09\0", 24), &back, &error));
}

TEST(Loaders, CellsAndMasks) {
    std::vector<CellRect> cells;
    ASSERT_TRUE(cut_cells(256, 128, 64, 64, 0, 8, cells));
    EXPECT_EQ(cells[3].x, 192);
    EXPECT_EQ(cells[4].y, 64);
    EXPECT_FALSE(cut_cells(256, 128, 64, 64, 0, 9, cells));
    EXPECT_FALSE(cut_cells(256, 128, 64, 64, 2147483647, 1, cells));
    EXPECT_FALSE(cut_cells(256, 128, 0, 64, 0, 1, cells));

    Pixels p;
    p.w = 2;
    p.h = 1;
    p.rgba = {0, 0, 0, 255, 90, 60, 30, 255};
    mask_pixels(p, 0, 0, 0);
    EXPECT_EQ(p.rgba, (std::vector<uint8_t>{90, 60, 30, 0, 90, 60, 30, 255}));
}
