// The match-3 level cells: every cell of every match-3 level, handed over by the level catalogue when it is read
// and kept for the whole run. A level's board is built from these when the level starts.
#pragma once

enum { M3LEVELSLOTS = 201, M3CELLSLOTS = 201 };  // levels [1..200], cell slots [1..200]

struct M3LevelCell {
    int column;  // 0..11
    int row;     // 0..11, row 0 at the top of the board
    int used;    // 1 when the slot holds a cell
    int mud;     // mud layers 0..3 as read from the level file
};

extern M3LevelCell m3levelcells[M3LEVELSLOTS][M3CELLSLOTS];

// Stores a cell in the first unused slot of the level; does nothing when all 200 are in use (or the level is
// outside 1..200).
void m3addlevelcell(int level, int column, int row, int used, int mud);
// Marks every slot of the level unused.
void m3clearlevelcells(int level);
