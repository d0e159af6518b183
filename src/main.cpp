// Ombrivale: start-up, then the 50 Hz loop until the player quits.
#include <cstdlib>

#include "app/replay.h"
#include "app/shell.h"

int main(int argc, char** argv) {
    if (int rc = replay_command(argc, argv); rc >= 0) return rc;
    if (!startup()) return 1;
    mainloop();
    std::exit(0);
}
