// Splash pages and the loading screen.
#pragma once

void instintro(int page);
void showintro();
void instload();
void showload();
