// The rules of the aztec board: falling and landing, colour groups, chains, superstones, granite, animals and
// the points they earn.
#pragma once

extern int groupcount[101];  // [1..100] members of each colour group found this frame
extern int explosionflag;    // 1 when something exploded this frame
extern int combomult;        // points multiplier, rising with quick successive clears
extern int combotimer;       // frames until the multiplier falls back to 1
extern int comboframes;      // frames a clear keeps the multiplier up (50)

// One step of the board: support, falling and landing, groups, shake, scroll, aim and floor conversion.
void updateboard();
void floodgroup(int s, int id);
// 1 when the stone had no chain; otherwise one chain breaks and the stone stays (0).
int breakchain(int s);
void burststone(int s);
void explodesuperstone(int s, int exclude);
void hitgranite(int j, int k);
void rescueanimal(int j, int k);
void awardpoints(int points, int x, int y, int colour, int combo);
// The most a score holds: it stops there (a profile keeps it, and the counter has room for it).
constexpr int SCORE_MAX = 999999999;
// Once per frame of a level: the multiplier returns to 1 after 50 frames without points.
void comboclock();
