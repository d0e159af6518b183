#include "app/cmdline.h"

#include <cstdio>
#include <cstring>

#ifndef OMBRIVALE_VERSION
#define OMBRIVALE_VERSION "0"
#endif

int cmd_display = -1;
int cmd_help = 0, cmd_version = 0;

namespace {
// Playback and bug reports are runs of their own (app/replay.cpp reads these before the game starts); they are
// listed here so that --help shows them.
std::string replayfile, replaywindow, replayrule;
// One line per option; an option with a value names it in `value` and points `text` at a string.
const cmdoption options[] = {
    {"--help", nullptr, "print this help and exit", &cmd_help, 1, nullptr},
    {"--version", nullptr, "print the version and exit", &cmd_version, 1, nullptr},
    {"--windowed", nullptr, "play in a window this time (the saved choice stays)", &cmd_display, 0, nullptr},
    {"--fullscreen", nullptr, "play full screen this time (the saved choice stays)", &cmd_display, 1, nullptr},
    {"--replay", "FILE", "play a recorded session back (your own files are not touched)", nullptr, 0, &replayfile},
    {"--headless", nullptr, "with --replay: no window, no sound, as fast as it goes", nullptr, 0, nullptr},
    {"--fast", nullptr, "with --replay: do not wait for the frame clock", nullptr, 0, nullptr},
    {"--check", nullptr, "with --replay: compare with the recording, exit 1 where it differs", nullptr, 0, nullptr},
    {"--force", nullptr, "with --replay: play a journal of another version or data", nullptr, 0, nullptr},
    {"--window", "WxH", "with --replay: play back in a window of this size", nullptr, 0, &replaywindow},
    {"--rule", "NAME=N", "with --replay: play with a rule changed (comboframes=N)", nullptr, 0, &replayrule},
    {"--report", nullptr, "write a bug report bundle into the user folder and exit", nullptr, 0, nullptr},
};

const cmdoption* findoption(const std::string& name) {
    for (const cmdoption& o : options)
        if (name == o.name) return &o;
    return nullptr;
}

int usageerror(const std::string& what) {
    std::fprintf(stderr, "ombrivale: %s\n%s", what.c_str(), cmdusage().c_str());
    return 2;
}
}  // namespace

const char* gameversion() { return OMBRIVALE_VERSION; }

std::string cmdusage() {
    std::string u = "usage: ombrivale [OPTION]...\n";
    for (const cmdoption& o : options) {
        std::string left = std::string("  ") + o.name + (o.value ? std::string(" ") + o.value : "");
        if (left.size() < 24) left.resize(24, ' ');
        else left += "  ";
        u += left + o.help + "\n";
    }
    return u;
}

int parsecmdline(int argc, char** argv) {
    cmd_display = -1;
    cmd_help = cmd_version = 0;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i] ? argv[i] : "";
        std::string inlinevalue;
        bool hasinline = false;
        auto eq = arg.find('=');
        if (arg.rfind("--", 0) == 0 && eq != std::string::npos) {
            inlinevalue = arg.substr(eq + 1);
            arg = arg.substr(0, eq);
            hasinline = true;
        }
        const cmdoption* o = findoption(arg);
        if (!o) return usageerror("unknown option '" + arg + "'");
        if (o->value) {
            if (!hasinline) {
                if (i + 1 >= argc) return usageerror(arg + " needs " + o->value);
                inlinevalue = argv[++i];
            }
            if (o->text) *o->text = inlinevalue;
        } else if (hasinline) {
            return usageerror(arg + " takes no value");
        }
        if (o->flag) *o->flag = o->set;
    }
    if (cmd_help) {
        std::printf("Ombrivale %s, a puzzle adventure.\n%s", gameversion(), cmdusage().c_str());
        return 0;
    }
    if (cmd_version) {
        std::printf("ombrivale %s\n", gameversion());
        return 0;
    }
    return -1;
}
