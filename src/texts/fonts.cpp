#include "texts/fonts.h"

void loadfonts() {}
void clearglyphs() {}
void drawtext(int, const std::string&, float, float, int, float, float, float, float) {}
float textwidth(int, const std::string&, float) { return 0; }
float charwidth(const std::string&, int) { return 0; }
void drawtextwrapped(int, const std::string&, float, float, int, int, int, float, float, float, float) {}
