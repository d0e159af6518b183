// Ombrivale: start-up, then the 50 Hz loop until the player quits.
#include "app/shell.h"

int main() {
    if (!startup()) return 1;
    mainloop();
    exitgame(0);
}
