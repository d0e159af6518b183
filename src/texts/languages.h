// The languages the game speaks: which one is in force, how it is chosen (the command line, the player's own
// choice in the options, the desktop's locale) and where its text tables live.
//
// English is language 0: its tables are data/texts/*.txt, read one byte per character. Every other language
// has a full set of the three tables in data/texts/<code>/, written in UTF-8 (see texts/textcodes.h). A
// translation table that is missing or damaged is replaced by the English one, with a line on standard output.
#pragma once
#include <string>

enum { LANGUAGES = 7 };

extern int curlanguage;  // 0..LANGUAGES-1
// The folder names of the translations, "en" for English: en de fr es it pt_BR nl.
extern const char* const languagecode[LANGUAGES];
// A language chosen for this run only (--language), -1 when none: it wins over the remembered choice.
extern int languageoverride;

// The language a locale name or a --language value stands for ("de", "de_DE.UTF-8", "fr_CA@euro", "pt_BR",
// "pt-br"), -1 for one the game does not speak. Portuguese other than Brazil's is not taken for it.
int languagebycode(const std::string& name);
// The desktop's language from LC_ALL, LC_MESSAGES and LANG (the first one set), or from the list in LANGUAGE
// when one is set and the locale is not C or POSIX, as message catalogues are chosen. English for any other.
int desktoplanguage();
// The file in the user folder that remembers the player's choice: one line, the language's code.
const char* const languagefile = "language.txt";
// The remembered choice, -1 when there is none (or it names no language).
int loadlanguagechoice();
// Remembers the language in force; false when the file could not be written (it says so on standard output).
bool savelanguagechoice();
// At start: the run's choice, else the remembered one, else the desktop's (with desktop 1; English with 0, as
// a journal plays back whatever desktop it is played on).
void chooselanguage(int desktop);
// Puts a language in force and reads its three tables again (for the options' choice).
void setlanguage(int language);
// Where the tables of a language are: "data\\texts/" for English, "data\\texts/<code>/" for the others.
std::string languagefolder(int language);
// The thousands separator of numbers in the language in force: "." or, in French, a space.
char thousandsmark();
