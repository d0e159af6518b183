#include "texts/textpop.h"

void drawtextpop(int, const std::string&, float, float, int, float, int, int, int, float, float, float, float, int) {}
void addfloatnumber(int, int, float, int) {}
void drawfloatnumbers() {}
std::string timetext(int) { return {}; }
std::string numbertext(int) { return {}; }
std::string dotgroups(const std::string&) { return {}; }
