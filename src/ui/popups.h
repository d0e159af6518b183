// Popup dialogs: at most one open at a time, drawn by the current screen over itself.
#pragma once
#include <string>

extern int popupkind;     // open popup, 0 none
extern int popupfade;     // visibility 0..16
extern int popupfadedir;  // 1 opening, 2 closing
extern int dragslider;    // options popup: 0 none, 1 music, 2 sound slider being dragged

// The room of the options' texts: a row's caption before its first control (a volume's before its track), and each choice (1..6, the places
// of the display, pointer and animation choices; 7 the language's name) before the next control or the edge.
const float OPTIONLABELROOM = 112, SLIDERLABELROOM = 70;
const float OPTIONCHOICEROOM[8] = {0, 145, 145, 80, 145, 270, 460, 270};
// The room of a title on a popup panel drawn at `scale`; a longer title is drawn smaller.
const float POPUPTITLEROOM = 366;

void popupaction(int number);
void updatepopups();
void drawpopuppanel(float x, float y, float scale, const std::string& title);
// The ranking's rows [1..10]: name, level reached and score of started adventures; returns how many.
int rankinglist(std::string* names, int* levels, int* scores);

// The frame functions of the shell's dialogs.
void popupquit();           // 99
void popupoptions();        // 100
void popupplayerlist();     // 103
void popupnameentry();      // 105
void popupdeleteplayer();   // 106
void popupcontinue();       // 107
void popupranking();        // 111
void popuppausemenu();      // 298
void popupnewadventure();   // 432
void popuprestartlevel();   // 779
void popupduplicatename();  // 781
