// Splash pages and the loading screen.
#pragma once
#include <string>

#include "platform/draw.h"
#include "ui/logo.h"  // the logo images this screen loads

// Splash pages 1..29, described by data\branding\splashconfig.txt.
enum { MAXPAGES = 29 };
extern std::string pagefile[MAXPAGES + 2];  // image name under data\branding\, "none" for no page
extern int pagetime[MAXPAGES + 2];          // frames before the page advances by itself (<= 0: never)
extern int pageskip[MAXPAGES + 2];          // 1 when a key may skip the page
extern TImage pageimage[MAXPAGES + 2];
extern int pagecount;
extern int intropage, introframes;

// A page whose time never runs out and that may not be skipped would hold the game for good: after this many
// frames any page takes a key.
enum { INTRO_SKIP_ANYWAY = 500 };

// Loading screen.
extern int loadframes;
extern int loadbary;
extern TImage loadbarimage;     // data\ui\loadbar.png
extern TImage loadfillpixels;   // data\ui\loadfill.png as 402 frames of 1 x 40
extern TImage loadfillcells;    // the same as 40 frames of 10 x 40

void readintrosettings();
void instintro(int page);
void showintro();
void deleteintrostuff_dynamic();

void instload();
void loadloadstuff_dynamic();
void deleteloadstuff_dynamic();
void showload();
