// The main menu and the button widget.
#pragma once
#include "platform/draw.h"

extern int menuframes;   // frames since the menu was entered
extern int prevscreen;   // the screen the menu was entered from
extern TImage popupimage;  // data\ui\popup.png, the popup panel
extern TImage blacktile;   // data\ui\black.png, dims the screen

void loadmenustuff();
void instmenu();
void showmenu();
void loadmenustuff_dynamic();
void deletemenustuff_dynamic();
