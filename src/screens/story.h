// The story chapters: one illustrated page per chapter, and the ending that follows the last one.
#pragma once
#include "globals.h"  // storyfade
#include "platform/draw.h"

enum { STORYCHAPTERS = 8 };

extern int storychapter;           // chapter on screen, 1..8
extern int storyleave;             // 0; 19 when continue is pressed, then counts up; 20 leaves
extern float storyshakex, storyshakey;
extern TImage storybgimg;          // data\bg\story\bg.jpg, per visit

// Where a chapter's paragraphs go: text line (3..9), column (0 left, 1 right) and row; line 0 ends the list.
struct StoryParagraph {
    int line, column, row;
};
extern const StoryParagraph storylayout[STORYCHAPTERS + 1][8];
// A page's text column is this wide, and its rows 0..STORYROWS-1 lie above the page's buttons.
enum { STORYTEXTWIDTH = 400, STORYROWS = 12 };
// The chapter's title and subtitle are centred over the left column in this room; a longer title is drawn smaller.
const float STORYTITLEROOM = 440;
// The row each paragraph of a chapter starts on (rows[0..7]): its row in the layout, or lower when the paragraph
// above it in its column needs more lines (a longer translation). Returns the first row below the lowest text.
int storyrows(int chapter, int* rows);

void inststory(int chapter);
void preparestory(int chapter);
void showstory();
void loadstorystuff_dynamic();
void deletestorystuff_dynamic();
// The plate growing in and the final words popping in while a < storyfade < b.
void drawstoryend(int a, int b);
