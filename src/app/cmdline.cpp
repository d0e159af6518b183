#include "app/cmdline.h"

#include <cstdio>
#include <cstring>

#include "texts/languages.h"

#ifndef OMBRIVALE_VERSION
#define OMBRIVALE_VERSION "0"
#endif

int cmd_display = -1;
std::string cmd_language;
int cmd_help = 0, cmd_version = 0;
std::string cmd_replay, cmd_window, cmd_rule;
int cmd_headless = 0, cmd_fast = 0, cmd_check = 0, cmd_force = 0, cmd_report = 0;

namespace {
// One line per option; an option with a value names it in `value` and points `text` at a string.
const cmdoption options[] = {
    {"--help", nullptr, "print this help and exit", &cmd_help, 1, nullptr},
    {"--version", nullptr, "print the version and exit", &cmd_version, 1, nullptr},
    {"--windowed", nullptr, "play in a window this time (the saved choice stays)", &cmd_display, 0, nullptr},
    {"--fullscreen", nullptr, "play full screen this time (the saved choice stays)", &cmd_display, 1, nullptr},
    {"--language", "CODE", "play in this language this time: en de fr es it pt_BR nl", nullptr, 0, &cmd_language},
    {"--replay", "FILE", "play a recorded session back (your own files are not touched)", nullptr, 0, &cmd_replay},
    {"--headless", nullptr, "with --replay: no window, no sound, as fast as it goes", &cmd_headless, 1, nullptr},
    {"--fast", nullptr, "with --replay: do not wait for the frame clock", &cmd_fast, 1, nullptr},
    {"--check", nullptr, "with --replay: compare with the recording, exit 1 where it differs", &cmd_check, 1,
     nullptr},
    {"--force", nullptr, "with --replay: play a journal of another version or data", &cmd_force, 1, nullptr},
    {"--window", "WxH", "with --replay: play back in a window of this size", nullptr, 0, &cmd_window},
    {"--rule", "NAME=N", "with --replay: play with a rule changed (comboframes=N)", nullptr, 0, &cmd_rule},
    {"--report", nullptr, "write a bug report bundle into the user folder and exit", &cmd_report, 1, nullptr},
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
    cmd_replay.clear();
    cmd_language.clear();
    cmd_window.clear();
    cmd_rule.clear();
    cmd_headless = cmd_fast = cmd_check = cmd_force = cmd_report = 0;
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
            if (inlinevalue.empty()) return usageerror(arg + " needs " + o->value);
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
    if (!cmd_language.empty() && languagebycode(cmd_language) < 0)
        return usageerror("the game does not speak '" + cmd_language + "' (en de fr es it pt_BR nl)");
    const bool playback = cmd_headless || cmd_fast || cmd_check || cmd_force || !cmd_window.empty() || !cmd_rule.empty();
    if (playback && cmd_replay.empty())
        return usageerror("--headless, --fast, --check, --force, --window and --rule go with --replay FILE");
    if (cmd_report && !cmd_replay.empty()) return usageerror("--report and --replay are runs of their own");
    return -1;
}
