#include "platform/audio.h"

#include <gtest/gtest.h>
#include <vorbis/vorbisenc.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "app/display.h"
#include "app/screenflow.h"
#include "app/shell.h"
#include "platform/paths.h"
#include "storage/settings.h"
#include "support/headless.h"
#include "ui/menu.h"

namespace {

// A steady stereo level, long enough to outlast a few frames of the loop.
TSound tone(int level, int frames, int flags = 0) {
    return sound_from_samples(std::vector<int16_t>((size_t)frames * 2, (int16_t)level), flags);
}

void put16(FILE* f, int v) {
    std::fputc(v & 255, f);
    std::fputc((v >> 8) & 255, f);
}
void put32(FILE* f, int v) {
    put16(f, v & 0xFFFF);
    put16(f, (v >> 16) & 0xFFFF);
}

// A mono 16-bit WAV at 22050 Hz holding a steady level.
void writewav(const std::string& path, int frames, int level) {
    FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite("RIFF", 1, 4, f);
    put32(f, 36 + frames * 2);
    std::fwrite("WAVEfmt ", 1, 8, f);
    put32(f, 16);
    put16(f, 1);
    put16(f, 1);
    put32(f, 22050);
    put32(f, 44100);
    put16(f, 2);
    put16(f, 16);
    std::fwrite("data", 1, 4, f);
    put32(f, frames * 2);
    for (int i = 0; i < frames; ++i) put16(f, level);
    std::fclose(f);
}

// A stereo OGG Vorbis file at 44100 Hz with a quiet sine.
void writeogg(const std::string& path, int frames) {
    vorbis_info vi;
    vorbis_info_init(&vi);
    vorbis_encode_init_vbr(&vi, 2, 44100, 0.3f);
    vorbis_comment vc;
    vorbis_comment_init(&vc);
    vorbis_dsp_state vd;
    vorbis_analysis_init(&vd, &vi);
    vorbis_block vb;
    vorbis_block_init(&vd, &vb);
    ogg_stream_state os;
    ogg_stream_init(&os, 7);
    FILE* f = std::fopen(path.c_str(), "wb");
    ogg_packet h[3];
    vorbis_analysis_headerout(&vd, &vc, &h[0], &h[1], &h[2]);
    for (ogg_packet& p : h) ogg_stream_packetin(&os, &p);
    ogg_page og;
    while (ogg_stream_flush(&os, &og)) {
        std::fwrite(og.header, 1, og.header_len, f);
        std::fwrite(og.body, 1, og.body_len, f);
    }
    float** buf = vorbis_analysis_buffer(&vd, frames);
    for (int i = 0; i < frames; ++i) buf[0][i] = buf[1][i] = 0.3f * std::sin(i * 0.05f);
    vorbis_analysis_wrote(&vd, frames);
    vorbis_analysis_wrote(&vd, 0);
    ogg_packet op;
    while (vorbis_analysis_blockout(&vd, &vb) == 1) {
        vorbis_analysis(&vb, nullptr);
        vorbis_bitrate_addblock(&vb);
        while (vorbis_bitrate_flushpacket(&vd, &op)) {
            ogg_stream_packetin(&os, &op);
            while (ogg_stream_pageout(&os, &og)) {
                std::fwrite(og.header, 1, og.header_len, f);
                std::fwrite(og.body, 1, og.body_len, f);
            }
        }
    }
    while (ogg_stream_flush(&os, &og)) {
        std::fwrite(og.header, 1, og.header_len, f);
        std::fwrite(og.body, 1, og.body_len, f);
    }
    std::fclose(f);
    ogg_stream_clear(&os);
    vorbis_block_clear(&vb);
    vorbis_dsp_clear(&vd);
    vorbis_comment_clear(&vc);
    vorbis_info_clear(&vi);
}

// The sound bank and the music step, mixed offline: no device is open in these tests.
class Audio : public ::testing::Test {
protected:
    void SetUp() override {
        mixer_close_device();
        mixer_reset();
        for (int i = 0; i < SOUNDSLOTS; ++i) {
            sounds[i] = nullptr;
            soundplayed[i] = 0;
        }
        // A bank another test loaded may still be waiting to be decoded: with the bank gone, nothing of it is.
        load_deferred_sounds(1e9);
        paused = -1;
        soundvolume = 280;
        musicvolume = 280;
        musicvolnow = 280;
        centerx = 512;
        curscreen = screen_game;
        nextscreen = screen_game;
        prevscreen = screen_game;
        fadelevel = 256;
        musicchannel = alloc_channel();
        ambientchannel = bgchannel = nullptr;
        savedbase = basedir;
        folder = temp_folder("audio");
        basedir = folder;
        std::filesystem::create_directories(folder + "data/music");
        std::filesystem::create_directories(folder + "data/sound");
    }
    void TearDown() override {
        mixer_reset();
        basedir = savedbase;
        curscreen = screen_none;
    }
    // Peak left and right levels of the next n frames.
    std::pair<int, int> peak(int n = 512) {
        std::vector<int16_t> out((size_t)n * 2);
        mix_audio(out.data(), n);
        int l = 0, r = 0;
        for (int i = 0; i < n; ++i) {
            l = std::max(l, std::abs((int)out[(size_t)i * 2]));
            r = std::max(r, std::abs((int)out[(size_t)i * 2 + 1]));
        }
        return {l, r};
    }
    std::string folder, savedbase;
};

TEST_F(Audio, ASoundStartsOncePerFrame) {
    sounds[19] = tone(1000, 44100);
    for (int i = 0; i < 10; ++i) playsound(19, 300);
    EXPECT_EQ(mixer_channel_count(), 1);
    updatemusic();
    playsound(19, 300);
    EXPECT_EQ(mixer_channel_count(), 2);
    // Empty and out-of-range slots are ignored.
    playsound(3, 0);
    playsound(0, 0);
    playsound(81, 0);
    playsound(-5, 0);
    EXPECT_EQ(mixer_channel_count(), 2);
}

TEST_F(Audio, EffectVolumeAndPan) {
    sounds[5] = tone(1000, 44100);
    soundvolume = 10;
    playsound(5, 512);
    EXPECT_EQ(mixer_channel_count(), 0);
    soundvolume = 11;
    playsound(5, 0);
    ASSERT_EQ(mixer_channel_count(), 1);
    // Pans follow the position against the screen centre: a 1024-wide screen reaches about 0.43 either way.
    mixer_reset();
    updatemusic();
    playsound_bg(5, 1023);
    EXPECT_NEAR(channel_pan(bgchannel), 0.43435f, 1e-5f);
    EXPECT_NEAR(channel_volume(bgchannel), 11 / 350.0f, 1e-4f);
    stop_bg();
    updatemusic();
    playsound_bg(5, 0);
    EXPECT_NEAR(channel_pan(bgchannel), -0.4352f, 1e-5f);
    set_channel_volume(bgchannel, 1);
    auto [l, r] = peak();
    EXPECT_EQ(l, 1000);
    EXPECT_NEAR(r, 1000 * (1 - 0.4352f), 1);
}

TEST_F(Audio, LoudSettingsAreLimitedNotWrapped) {
    soundvolume = 542;
    sounds[25] = tone(30000, 44100);
    sounds[57] = tone(30000, 44100);
    playsound(25, 512);
    playsound(57, 512);
    auto [l, r] = peak();
    EXPECT_EQ(l, 32767);
    EXPECT_EQ(r, 32767);
    std::vector<int16_t> out(2);
    mix_audio(out.data(), 1);
    EXPECT_GT(out[0], 0);  // a sum over the 16-bit range stays at the top, never flips sign
    TChannel c = alloc_channel();
    set_channel_volume(c, 542 * 0.0028571f);
    EXPECT_EQ(channel_volume(c), 1.0f);
    set_channel_volume(c, -0.01f);
    EXPECT_EQ(channel_volume(c), 0.0f);
    set_channel_volume(c, NAN);
    EXPECT_EQ(channel_volume(c), 0.0f);
}

TEST_F(Audio, MusicVolumeClimbsAndSettles) {
    musicvolume = 282;
    musicvolnow = 0;
    int frames = 0;
    while (musicvolnow < 280 && frames < 100) {
        updatemusic();
        ++frames;
    }
    EXPECT_EQ(frames, 56);
    for (int i = 0; i < 5; ++i) {
        updatemusic();
        EXPECT_EQ(musicvolnow, 280);
    }
    musicvolume = 9;
    updatemusic();
    EXPECT_EQ(musicvolnow, 0);
}

TEST_F(Audio, MusicAtTenIsHeardAndAtNineIsNot) {
    writewav(folder + "data/music/quiet.wav", 44100, 20000);
    musicvolume = musicvolnow = 10;
    playmusic("/music/quiet.wav", 1);
    EXPECT_EQ(channel_playing(musicchannel), 0);  // cued until the next audio step
    updatemusic();
    EXPECT_EQ(channel_playing(musicchannel), 1);
    EXPECT_NEAR(channel_volume(musicchannel), 10 * 0.001845f, 1e-6f);
    EXPECT_GT(peak().first, 0);
    musicvolume = 9;
    updatemusic();
    EXPECT_EQ(peak().first, 0);
}

TEST_F(Audio, MusicFollowsTheFadeExceptBetweenMenuAndMap) {
    writewav(folder + "data/music/title.wav", 44100, 20000);
    playmusic("/music/title.wav", 1);
    fadelevel = 128;
    updatemusic();
    EXPECT_NEAR(channel_volume(musicchannel), 280 * 0.001845f * 0.5f, 1e-5f);
    curscreen = screen_menu;
    nextscreen = screen_map;
    updatemusic();
    EXPECT_NEAR(channel_volume(musicchannel), 280 * 0.001845f, 1e-5f);
    curscreen = screen_map;
    nextscreen = screen_story;
    prevscreen = screen_menu;
    updatemusic();
    EXPECT_NEAR(channel_volume(musicchannel), 280 * 0.001845f * 0.5f, 1e-5f);
    fadelevel = -16;  // the last fade-out frame: a negative gain plays as silence
    updatemusic();
    EXPECT_EQ(channel_volume(musicchannel), 0);
}

TEST_F(Audio, PausedGameIsSilent) {
    sounds[13] = tone(1000, 44100);
    writewav(folder + "data/music/game1.wav", 44100, 20000);
    playmusic("/music/game1.wav", 1);
    paused = 1;
    playsound(13, 512);
    EXPECT_EQ(mixer_channel_count(), 1);  // only the cued music
    updatemusic();
    EXPECT_EQ(channel_playing(musicchannel), 0);
    EXPECT_EQ(peak().first, 0);
    paused = -1;
    updatemusic();
    EXPECT_EQ(channel_playing(musicchannel), 1);
    // Losing the focus pauses the music; the step after the pause resumes it.
    pause_channel(musicchannel);
    EXPECT_EQ(peak().first, 0);
    updatemusic();
    EXPECT_GT(peak().first, 0);
}

TEST_F(Audio, OnTheIntroEachSoundPlaysOnce) {
    sounds[26] = tone(1000, 44100 * 5);
    curscreen = screen_intro;
    playsound(26, 512);
    updatemusic();
    updatemusic();
    playsound(26, 512);
    EXPECT_EQ(mixer_channel_count(), 1);
    curscreen = screen_load;
    updatemusic();
    playsound(26, 512);
    EXPECT_EQ(mixer_channel_count(), 2);
}

TEST_F(Audio, AnEndedChannelControlsNothing) {
    TSound shortsound = tone(1000, 100);
    TChannel first = play_sound(shortsound, nullptr);
    EXPECT_EQ(channel_playing(first), 1);
    peak(200);
    EXPECT_EQ(channel_playing(first), 0);
    resume_channel(first);
    EXPECT_EQ(channel_playing(first), 0);
    TChannel second = play_sound(shortsound, nullptr);
    pause_channel(first);
    stop_channel(first);
    set_channel_volume(first, 0);
    EXPECT_EQ(channel_playing(second), 1);
    EXPECT_EQ(peak(50).first, 1000);
    // A track that plays once is not restarted by the music step after it ended.
    writewav(folder + "data/music/win.wav", 2205, 20000);  // 0.1 s
    playmusic("/music/win.wav", 0);
    updatemusic();
    EXPECT_EQ(channel_playing(musicchannel), 1);
    for (int i = 0; i < 8; ++i) updatemusic();  // 8 frames of 1/50 s pass in the silent output
    EXPECT_EQ(channel_playing(musicchannel), 0);
    updatemusic();
    EXPECT_EQ(channel_playing(musicchannel), 0);
    // A looping track keeps going.
    playmusic("/music/win.wav", 1);
    for (int i = 0; i < 20; ++i) updatemusic();
    EXPECT_EQ(channel_playing(musicchannel), 1);
}

TEST_F(Audio, AmbientAndBackgroundChannelsStopOnRequest) {
    sounds[71] = tone(1000, 4410, 1);
    sounds[39] = tone(1000, 44100);
    curscreen = screen_menu;
    playsound_ambient(71, 512);
    playsound_bg(39, 100);
    ASSERT_TRUE(ambientchannel && bgchannel);
    for (int i = 0; i < 10; ++i) updatemusic();  // loops past its 0.1 s
    EXPECT_EQ(channel_playing(ambientchannel), 1);
    pause_channel(ambientchannel);
    updatemusic();
    EXPECT_EQ(channel_playing(ambientchannel), 1);
    stop_ambient();
    stop_bg();
    EXPECT_EQ(channel_playing(ambientchannel), 0);
    EXPECT_EQ(channel_playing(bgchannel), 0);
    // A dropped request leaves the previous channel in place.
    TChannel before = bgchannel;
    paused = 1;
    playsound_bg(39, 100);
    EXPECT_EQ(bgchannel, before);
}

TEST_F(Audio, ManySoundsShareABoundedMixer) {
    TSound s = tone(10, 44100);
    for (int i = 0; i < 500; ++i) play_sound(s, nullptr);
    EXPECT_EQ(mixer_channel_count(), MIXCHANNELS);
}

TEST_F(Audio, FilesDecodeToStereoAtTheMixingRate) {
    writewav(folder + "data/sound/a.wav", 22050, 8000);
    TSound wav = load_sound("data\\sound\\A.WAV", 0);
    ASSERT_TRUE(wav);
    EXPECT_NEAR(sound_frames(wav), 44100, 64);
    writeogg(folder + "data/sound/b.ogg", 22050);
    TSound ogg = load_sound("data\\sound\\b.ogg", 0);
    ASSERT_TRUE(ogg);
    EXPECT_NEAR(sound_frames(ogg), 22050, 64);
    play_sound(ogg, nullptr);
    EXPECT_GT(peak(2000).first, 3000);
    // Missing, empty, foreign and cut-off files give no sound.
    EXPECT_FALSE(load_sound("data\\sound\\none.ogg", 0));
    std::FILE* f = std::fopen((folder + "data/sound/empty.ogg").c_str(), "wb");
    std::fclose(f);
    EXPECT_FALSE(load_sound("data\\sound\\empty.ogg", 0));
    f = std::fopen((folder + "data/sound/text.ogg").c_str(), "wb");
    std::fputs("not a sound at all", f);
    std::fclose(f);
    EXPECT_FALSE(load_sound("data\\sound\\text.ogg", 0));
    std::filesystem::resize_file(folder + "data/sound/b.ogg", 60);
    EXPECT_FALSE(load_sound("data\\sound\\b.ogg", 0));
    std::filesystem::resize_file(folder + "data/sound/a.wav", 30);
    EXPECT_FALSE(load_sound("data\\sound\\a.wav", 0));
}

TEST_F(Audio, MissingFilesLeaveTheGameSilentButRunning) {
    playmusic("/music/nothing.ogg", 1);
    ASSERT_TRUE(musicchannel);
    updatemusic();
    EXPECT_EQ(channel_playing(musicchannel), 0);
    initsound();  // no click.ogg in this data folder: the bank stays empty
    mixer_close_device();
    EXPECT_EQ(sound_ok, 0);
    for (int i = 1; i < SOUNDSLOTS; ++i) EXPECT_FALSE(sounds[i]);
    playsound(13, 512);
    EXPECT_EQ(mixer_channel_count(), 0);
}

// Ending the game: the device's thread must stop before the sounds it mixes are freed.
TEST_F(Audio, ClosingStopsTheDeviceBeforeFreeingTheSounds) {
    headless();  // SDL's silent audio driver: a real device thread, without a sound card
    ASSERT_EQ(mixer_open_device(), 1);
    sounds[13] = sound_from_samples(std::vector<int16_t>(8820, 1000), 1);
    musicsound = sound_from_samples(std::vector<int16_t>(8820, 500), 1);
    musicchannel = play_sound(musicsound, nullptr);
    play_sound(sounds[13], nullptr);
    std::weak_ptr<SoundData> music = musicsound, click = sounds[13];
    ASSERT_EQ(mixer_channel_count(), 2);
    closesound();
    EXPECT_EQ(mixer_has_device(), 0);
    EXPECT_EQ(mixer_channel_count(), 0);
    // Nothing holds the sounds any more: they are gone, and no thread was left to mix them.
    EXPECT_TRUE(music.expired());
    EXPECT_TRUE(click.expired());
    EXPECT_FALSE(musicchannel);
}

}  // namespace

namespace {
std::vector<int16_t> mixed(const TSound& sound, int frames) {
    mixer_reset();
    TChannel ch = play_sound(sound, nullptr);
    set_channel_volume(ch, 1);
    std::vector<int16_t> out((size_t)frames * 2);
    for (int at = 0; at < frames; at += 1000) mix_audio(out.data() + (size_t)at * 2, std::min(1000, frames - at));
    return out;
}
}  // namespace

TEST_F(Audio, MusicStreamsTheSameSamplesAsAWholeDecodeAndLoops) {
    writeogg(folder + "data/music/stream.ogg", 30000);
    TSound whole = load_sound("data\\music\\stream.ogg", 1);
    TSound streamed = stream_sound("data\\music\\stream.ogg", 1);
    ASSERT_TRUE(whole && streamed);
    EXPECT_EQ(sound_frames(streamed), 0);  // nothing decoded before it plays
    const int n = sound_frames(whole);
    ASSERT_GT(n, 29000);
    // Two and a half rounds: the stream starts over where the whole sound wraps.
    std::vector<int16_t> a = mixed(whole, n * 5 / 2), b = mixed(streamed, n * 5 / 2);
    EXPECT_EQ(a, b);
    // Played once, it ends with the file; two instances keep their own places.
    TSound once = stream_sound("data\\music\\stream.ogg", 0);
    mixer_reset();
    TChannel first = play_sound(once, nullptr);
    std::vector<int16_t> buf((size_t)n * 2);
    mix_audio(buf.data(), 2000);
    TChannel second = play_sound(once, nullptr);
    mix_audio(buf.data(), n - 2000 + 100);
    EXPECT_EQ(channel_playing(first), 0);
    EXPECT_EQ(channel_playing(second), 1);
    mix_audio(buf.data(), 2000);
    EXPECT_EQ(channel_playing(second), 0);
    // A track that is not there, or not a sound, gives nothing; a WAV track is decoded whole.
    EXPECT_FALSE(stream_sound("data\\music\\none.ogg", 1));
    writewav(folder + "data/music/w.wav", 2205, 1000);  // 0.1 s
    EXPECT_EQ(sound_frames(stream_sound("data\\music\\w.wav", 1)), 4410);
}

// Sounds loaded at start-up are decoded later, a slice per frame or when first played: the same sound either
// way, a missing or foreign file still refused at once, and a file that turns out broken plays nothing.
TEST_F(Audio, DeferredSoundsAreTheSameSoundsAndBrokenOnesStaySilent) {
    writewav(folder + "data/sound/a.wav", 22050, 8000);
    writeogg(folder + "data/sound/b.ogg", 22050);
    writeogg(folder + "data/sound/c.ogg", 22050);
    const TSound eager = load_sound("data\\sound\\b.ogg", 0);
    ASSERT_TRUE(eager);
    set_deferred_sound_loading(1);
    TSound wav = load_sound("data\\sound\\a.wav", 0);
    TSound ogg = load_sound("data\\sound\\b.ogg", 1);
    TSound cut = load_sound("data\\sound\\c.ogg", 0);
    TSound none = load_sound("data\\sound\\none.ogg", 0);
    set_deferred_sound_loading(0);
    EXPECT_FALSE(none);
    ASSERT_TRUE(wav && ogg && cut);
    std::filesystem::resize_file(folder + "data/sound/c.ogg", 60);  // broken after it was found

    EXPECT_EQ(load_deferred_sounds(0), 3);  // no budget, nothing decoded
    EXPECT_EQ(sound_frames(ogg), sound_frames(eager));  // decoded on demand
    EXPECT_EQ(load_deferred_sounds(1000), 0);
    EXPECT_NEAR(sound_frames(wav), 44100, 64);
    EXPECT_EQ(sound_frames(cut), 0);
    // The decoded sound plays as the one decoded at once, and the broken one never enters the mixer.
    play_sound(cut, nullptr);
    EXPECT_EQ(mixer_channel_count(), 0);
    play_sound(ogg, nullptr);
    const int deferred_peak = peak(2000).first;
    mixer_reset();
    play_sound(eager, nullptr);
    EXPECT_EQ(peak(2000).first, deferred_peak);
    EXPECT_GT(deferred_peak, 3000);
}
