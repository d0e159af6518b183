// Player profiles: 15 slots, each kept in its own file in the user-data folder.
#pragma once

void loadplayers(int mode);
void saveplayer(int slot);
