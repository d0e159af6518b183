// The command line: a table of options, each a name, an optional value and a line of help.
#pragma once
#include <string>

// What the options asked for. -1 / 0 / empty: not given.
extern int cmd_display;        // 0 window, 1 full screen, for this run only
extern int cmd_help, cmd_version;
extern std::string cmd_language;  // --language CODE, for this run only
// Playing a journal back, and the bug report: runs of their own (app/replay acts on them).
extern std::string cmd_replay;  // --replay FILE
extern int cmd_headless, cmd_fast, cmd_check, cmd_force, cmd_report;
extern std::string cmd_window;  // --window WxH
extern std::string cmd_rule;    // --rule NAME=N

struct cmdoption {
    const char* name;     // "--windowed"
    const char* value;    // name of the value it takes ("FILE"), or nullptr for a switch
    const char* help;     // one line for --help
    int* flag;            // set to `set` when given (may be null)
    int set;
    std::string* text;    // receives the value (options with a value)
};

// Reads argv into the option globals. Returns -1 to go on and start the game, otherwise the exit status the
// program ends with at once: 0 after --help or --version (printed on standard output), 2 after a usage error
// (the error and the usage on standard error).
int parsecmdline(int argc, char** argv);
// The usage text: one line per option of the table.
std::string cmdusage();
// The game's version, the build's project version ("1.0.0"): --version, journals and bug reports name it.
const char* gameversion();
