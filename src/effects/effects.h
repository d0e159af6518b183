// The catalogue of named effects and the effect images, loaded once at start and kept for the whole run.
#pragma once
#include "platform/background.h"  // the effect images the backgrounds draw
#include "platform/draw.h"

// Numbered families are indexed from 1; index 0 stays empty. The arrays are sized so that any image number
// 0..9 can be looked up (numbers a family does not have are null and draw nothing).
extern TImage glowstar, spikes, explosion, glower, flash, explosion3;
extern TImage match3mudexplosion[10];
extern TImage konfetti[10];
extern TImage glb[10];
extern TImage dirt[10], dirt2[10];  // dirt pieces of each colour, two variants
extern TImage circle[10];
extern TImage star[10];
extern TImage chainpart[10];
extern TImage smoke1, smokechain, roundfire1;
extern TImage animal[10];
// The level banner of the game screen and the banner of the lose screen.
extern TImage levelbanner, losebanner;

void loadeffects();
void landingdust(float x, float y);
void stoneburst(float x, float y, int colour);
void chainbreak(float x, float y);
void chainshatter(float x, float y);
void mapchainbreak(float x, float y);
void superstoneexplosion(float x, float y, int colour);
void granitehit(float x, float y);
void granitebreak(float x, float y);
void winstarburst(float x, float y, int colour);
void mudexplosion(float x, float y, int variant);
void starlost(float x, float y);
