#include "platform/background.h"

int bgnumber = 0;

void loadgamebg_dynamic(int) {}
void loadgamebg(int) {}
void freegamebg() {}
void drawbackground(float) {}
