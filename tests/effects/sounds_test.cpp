#include <gtest/gtest.h>

#include <vector>

#include "app/screenflow.h"
#include "app/shell.h"
#include "aztec/gamescreen.h"
#include "aztec/levelrun.h"
#include "effects/effects.h"
#include "effects/particles.h"
#include "platform/audio.h"
#include "platform/mixer.h"
#include "storage/players.h"
#include "storage/settings.h"
#include "support/headless.h"
#include "ui/popups.h"

namespace {

// The sounds the effects start, observed through the bank's once-per-frame marks.
class EffectSounds : public ::testing::Test {
protected:
    void SetUp() override {
        headless();
        clearparticles();
        clearlights();
        std::vector<int16_t> click(2 * 200, 1000);
        for (int slot : {2, 6, 30, 44}) {
            sounds[slot] = sound_from_samples(click, 0);
            soundplayed[slot] = 0;
        }
        soundvolume = 100;
        paused = -1;
        popupfade = 0;
        fps = 50;
        curscreen = screen_game;
        curplayer = 1;
    }
    void TearDown() override {
        for (int slot : {2, 6, 30, 44}) {
            sounds[slot].reset();
            soundplayed[slot] = 0;
        }
        clearparticles();
        clearlights();
        curplayer = -1;
    }
};

TEST_F(EffectSounds, StoneBurstsAndLostStarsKeepQuietWhenTheyShould) {
    // While a popup fades in the dirt flies without the crack.
    popupfade = 1;
    stoneburst(300, 300, 2);
    EXPECT_EQ(soundplayed[2], 0);
    EXPECT_EQ(part_kind[1], 862);
    popupfade = 0;
    stoneburst(300, 300, 2);
    EXPECT_EQ(soundplayed[2], 1);

    // Stars lost while the level starts up are silent.
    level_frames = 150;
    starlost(100, 50);
    EXPECT_EQ(soundplayed[44], 0);
    level_frames = 151;
    starlost(100, 50);
    EXPECT_EQ(soundplayed[44], 1);
}

TEST_F(EffectSounds, TheRescuedAnimalTurnsAtHalfwayAndLandsWithASound) {
    int s = addparticle(300, 600, 791, 0, 0);
    for (int n = 1; n < 50; ++n) draweff();
    EXPECT_EQ(soundplayed[6], 0);
    draweff();
    EXPECT_EQ(soundplayed[6], 1);
    for (int n = 51; n < 100; ++n) draweff();
    EXPECT_EQ(soundplayed[30], 0);
    draweff();
    EXPECT_EQ(soundplayed[30], 1);
    EXPECT_EQ(part_kind[s], 0);
}

}  // namespace
