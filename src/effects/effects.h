// The catalogue of named effects and their images.
#pragma once

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
