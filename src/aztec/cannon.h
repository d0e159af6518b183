// The cannon above the stack: aiming, loading, swapping and firing, and the aiming aid.
#pragma once

extern int cannonx;         // screen x
extern int cannony;         // board y
extern int cannontarget;    // screen x of the aimed column centre
extern int aimx;            // board x of the aimed column
extern int cannoncooldown;  // frames until the cannon is ready
extern float cannonbob;
extern int swapflag;
extern int lastfiredslot;
extern int lastshotx;

// Sound bank slots used by the board.
enum {
    snd_turnup = 5,
    snd_shootkaro = 8,
    snd_liane = 15,
    snd_match = 19,
    snd_contact = 23,
    snd_animal1 = 31,
    snd_buildsuperstone = 33,
    snd_superstoneexplosion = 57,
    snd_animal2 = 66,
    snd_animal3 = 67,
    snd_granite1 = 69,
    snd_granite2 = 70
};

// Column (board x) the mouse points at.
int aimcolumn(int mousex);
// Aiming, colour upkeep, loading, swapping and firing: once per frame after the level's first 150 frames.
void drawcannon();
// The column (0..11) the keys or a pad aim at; -1 while the cannon follows the mouse.
extern int keycolumn;
// The easing of the first 150 frames, on a finer grid; loads and draws nothing.
void introaiming();
void drawarrow();
