// Pop-in headlines, floating score numbers, number formatting and the slanted digit drawers.
#pragma once
#include <string>

enum { FLOATSLOTS = 20 };

// Floating numbers, slots [1..20]; value 0 = free.
extern int floatvalue[FLOATSLOTS + 1];
extern int floatx[FLOATSLOTS + 1];
extern float floaty[FLOATSLOTS + 1], floattargety[FLOATSLOTS + 1];
extern int floatkind[FLOATSLOTS + 1];
extern int floatage[FLOATSLOTS + 1];

// Frames of screen shake left; a landing headline letter sets it to 10 (the map, the board and the story shake).
extern int screenshake;

// A headline whose letters drop in one by one while start < t < end (the caller advances t every frame).
void drawtextpop(int font, const std::string& text, float x, float y, int align, float scale, int t, int start, int end,
                 float glow, float r, float g, float b, int effects);
void addfloatnumber(int value, int x, float y, int kind);
void clearfloatnumbers();
void drawfloatnumbers();
std::string timetext(int seconds);
std::string numbertext(int value);
std::string dotgroups(const std::string& digits);

// The slanted counters of the game screen, drawn from the digit glyphs of font 2.
// The whole number with "." groups, -3 degrees; a number that would reach past `left` or `right` (the inside of
// its panel) is moved in and, if need be, drawn smaller to fit.
void drawdigits_slanted(float x, float y, int value, float left = -1e9f, float right = 1e9f);
void drawfraction_slanted(float x, float y, int a, int b);          // "a/b", -3 degrees
void drawdigits_slanted_angle(float x, float y, int value, float angle);  // 0..999, no separators
void drawtime_slanted(float x, float y, int seconds, float angle);   // MM:SS
