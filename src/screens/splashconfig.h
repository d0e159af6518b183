// The splash configuration file data\branding\splashconfig.txt: text lines of a four-character key, a separator
// and a value, describing splash pages 1..29.
#pragma once
#include <string>

enum { MAXPAGES = 29 };

// The splash configuration as a record: pages 1..29 with their image name, time and skip flag, and the count
// of pages to show. Parsing never fails; a missing file is the empty text (no pages).
enum { SPLASHLINE_MAX = 1024 };
struct splashconfig {
    std::string file[MAXPAGES + 2];
    int time[MAXPAGES + 2] = {};
    int skip[MAXPAGES + 2] = {};
    int count = 0;
    bool operator==(const splashconfig&) const = default;
};
splashconfig parsesplashconfig(const std::string& bytes);
