// Ombrivale: the command line, start-up, then the 50 Hz loop until the player quits or a stop signal arrives.
#include "app/cmdline.h"
#include "app/replay.h"
#include "app/shell.h"
#include "storage/settings.h"
#include "texts/languages.h"

int main(int argc, char** argv) {
    int done = parsecmdline(argc, argv);
    if (done >= 0) return done;
    // Playing back a journal or writing a bug report are runs of their own.
    if (int rc = replay_command(); rc >= 0) return rc;
    displayoverride = cmd_display;
    if (!cmd_language.empty()) languageoverride = languagebycode(cmd_language);
    if (!startup()) exitgame(1);
    mainloop();
    exitgame(0);
}
