// A model of a casual player, for judging levels: it plays a level from its record through the game's own
// frame steps (the board, the cannon, the countdown bar, the win and lose tests) with synthetic mouse input,
// taking its time to aim as a person does. Used by the level tool; nothing in the game runs it.
//
// The aztec player looks one shot ahead only: it drops the stone where it makes the largest group right away
// (swapping the cannon's stones when only the other one would clear), sends a share of its shots to a random
// column, and puts the stone beside its own colour when nothing clears. The match-3 player takes the swap
// that clears the most mud now, a share of its swaps at random.
#pragma once
#include <cstdint>
#include <string>

#include "aztec/levelfile.h"

struct playtester {
    const char* name;
    int aimmin, aimmax;  // frames it takes to aim once the board has come to rest
    int randomshare;     // per cent of its shots sent anywhere
    int blasts;          // 1 when it knows that only explosions take variant stones, and plays for them
};
extern const playtester playtesters[];
extern const int playtestercount;
// The player of that name, or null.
const playtester* findplaytester(const std::string& name);

enum { PLAY_WON = 1, PLAY_LOST = 2, PLAY_STUCK = 3 };

// How one play went. Plain data, so that worker processes can hand it over as bytes.
struct playresult {
    int outcome;   // PLAY_*
    int shots;     // shots fired, or swaps made on a match-3 board
    int seconds;   // the level clock at the end (it runs from frame 220)
    int frames;    // frames played
    int stars;     // 1..3 for a won play, else 0
    int dead;      // 1 when the play reached a board that can never be won (the outcome is then PLAY_STUCK)
    int deadshot;  // the shot after which the dead board was seen
    char deadwhat[160];
};

// A play gives up when this many shots pass without the board getting any emptier than it has been.
const int PLAYTEST_PATIENCE = 300;

// Plays level `level` (its record, and the catalogue tables of that level as load_all_levels fills them) once at
// the given difficulty. The same seed plays the same game.
playresult playtestlevel(int level, const levelrecord& rec, int difficulty, const playtester& who, uint64_t seed);

// Looks at the aztec board in play, at rest, for a state no sequence of shots can win: a colour stone walled in
// on every side by what never leaves (the floor, sleeping stones, the board's edge, an animal sitting on it), or
// an animal above a sleeping stone, which can never reach the floor. Names the first one found in `what`.
bool aztecdeadstate(std::string* what);
