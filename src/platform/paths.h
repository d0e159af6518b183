// Where the game's files live, and how the game's own path literals are turned into real paths.
#pragma once
#include <string>

// Folder that holds the game's data/ folder (and icon32.ico), with a trailing '/'.
// Found beside the executable, else under <prefix>/share/ombrivale/ for an installed game.
extern std::string basedir;

// The folder of the running executable, with a trailing '/'.
std::string executable_folder();
// Sets basedir from the running executable. Tests and tools may instead assign basedir directly.
void findbasedir();

// Turns a game path literal ("data\UI\cursor.png", "data\/levelz/levels.lvl", "/music/title.ogg" after "data\")
// into a path on this machine: every separator becomes '/', repeated separators collapse, relative paths are
// taken from basedir, and a component that does not exist with that exact name is matched without regard to
// case. Every file the game opens goes through here.
std::string resolve_path(const std::string& literal);

// True when something exists at the resolved path.
bool path_exists(const std::string& literal);
