#include "texts/languages.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>

#include "platform/readfile.h"
#include "storage/safefile.h"
#include "storage/settings.h"
#include "texts/texttables.h"

int languageoverride = -1;

int languagebycode(const std::string& name) {
    // language[_TERRITORY][.codeset][@modifier], or language-TERRITORY as a tag is written
    std::string lang, land;
    size_t i = 0;
    while (i < name.size() && std::isalpha((unsigned char)name[i])) lang += (char)std::tolower((unsigned char)name[i++]);
    if (i < name.size() && (name[i] == '_' || name[i] == '-')) {
        ++i;
        while (i < name.size() && std::isalpha((unsigned char)name[i]))
            land += (char)std::toupper((unsigned char)name[i++]);
    }
    if (i < name.size() && name[i] != '.' && name[i] != '@') return -1;
    if (lang == "pt") return land == "BR" ? 5 : -1;
    if (lang == "en") return 0;
    for (int l = 1; l < LANGUAGES; ++l)
        if (l != 5 && lang == languagecode[l]) return l;
    return -1;
}

int desktoplanguage() {
    std::string locale;
    for (const char* var : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* v = std::getenv(var);
        if (v && v[0]) {
            locale = v;
            break;
        }
    }
    if (locale.empty() || locale == "C" || locale == "POSIX" || locale.rfind("C.", 0) == 0) return 0;
    if (const char* list = std::getenv("LANGUAGE")) {
        std::string all = list;
        size_t at = 0;
        while (at <= all.size()) {
            size_t end = all.find(':', at);
            if (end == std::string::npos) end = all.size();
            int l = languagebycode(all.substr(at, end - at));
            if (l >= 0) return l;
            at = end + 1;
        }
    }
    int l = languagebycode(locale);
    return l >= 0 ? l : 0;
}

int loadlanguagechoice() {
    std::string bytes;
    if (read_file(userpath + languagefile, bytes, 256) != READ_OK) return -1;
    return languagebycode(trim_controls(bytes.substr(0, bytes.find('\n'))));
}

bool savelanguagechoice() {
    return write_file_safely(userpath + languagefile, std::string(languagecode[curlanguage]) + "\r\n");
}

void chooselanguage(int desktop) {
    int l = languageoverride;
    if (l < 0) l = loadlanguagechoice();
    if (l < 0) l = desktop == 1 ? desktoplanguage() : 0;
    curlanguage = l >= 0 && l < LANGUAGES ? l : 0;
}

void setlanguage(int language) {
    curlanguage = language >= 0 && language < LANGUAGES ? language : 0;
    readalltexts();
}

char thousandsmark() { return curlanguage == 2 ? ' ' : '.'; }
