#include "storage/players.h"

void loadplayers(int) {}
void saveplayer(int) {}
