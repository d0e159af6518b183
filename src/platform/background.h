// Backgrounds drawn as parallax layers with ambient life (fireflies, butterflies, rain, lightning).
#pragma once

extern int bgnumber;

void loadgamebg_dynamic(int number);
void loadgamebg(int number);
void freegamebg();
void drawbackground(float target_x);
