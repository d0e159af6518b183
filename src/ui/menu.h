// The main menu and the button widget.
#pragma once
#include "globals.h"  // prevscreen
#include "platform/draw.h"

extern int menuframes;   // frames since the menu was entered
// Shared interface images, loaded once by loadmenustuff.
extern TImage popupimage;  // data\ui\popup.png, the popup panel and pause overlay
extern TImage blacktile;   // data\ui\black.png, dims the screen
extern TImage collimg, coll2img, coll3img;  // mouse-point shapes (top-left handled: coll, coll2)
extern TImage lineimg;                      // separator line of popups and the win screen
extern TImage optionstrackimg, optionstrackfill1img, optionstrackfillimg;
extern TImage cbimg, himg;                  // check box and tick mark (handle (19, 35))
extern TImage helparrow2img, harrowimg, popuplineimg, barimg;
extern TImage buttonimage[21];              // by button kind

extern TImage menubg1img, menubg2img;  // per visit: the menu picture and its flickering light

void loadmenustuff();
void instmenu();
// The background the menu loads when entered from screen `from`; -1 when it keeps the one it finds.
int menubackground(int from);
void showmenu();
void loadmenustuff_dynamic();
void deletemenustuff_dynamic();
// The room of a line on the player sign of the menu; a longer line is drawn smaller.
const float PLAYERPANELROOM = 290;
void drawplayerpanel(float x, float y);
void newplayerprofile();
