// Pop-in headlines, floating score numbers, number formatting and the slanted digit drawers.
#pragma once
#include <string>

void drawtextpop(int font, const std::string& text, float x, float y, int align, float scale, int t, int start, int end,
                 float glow, float r, float g, float b, int effects);
void addfloatnumber(int value, int x, float y, int kind);
void drawfloatnumbers();
std::string timetext(int seconds);
std::string numbertext(int value);
std::string dotgroups(const std::string& digits);
