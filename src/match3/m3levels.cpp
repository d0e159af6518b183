#include "match3/m3levels.h"

M3LevelCell m3levelcells[M3LEVELSLOTS][M3CELLSLOTS];

void m3addlevelcell(int level, int column, int row, int used, int mud) {
    if (level < 1 || level >= M3LEVELSLOTS) return;
    for (int i = 1; i < M3CELLSLOTS; ++i) {
        M3LevelCell& c = m3levelcells[level][i];
        if (c.used != 0) continue;
        c.column = column;
        c.row = row;
        c.used = used;
        c.mud = mud;
        return;
    }
}

void m3clearlevelcells(int level) {
    if (level < 1 || level >= M3LEVELSLOTS) return;
    for (int i = 1; i < M3CELLSLOTS; ++i) m3levelcells[level][i].used = 0;
}
