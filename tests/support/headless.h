// Test support: one headless game platform per test process, with data from the build folder.
#pragma once
#include <string>

#include "app/harness.h"

// Opens the headless platform once per process (later calls do nothing).
void headless();
// The resident images, fonts, texts and catalogue, loaded once per process as at start-up; the texts and levels
// are read again each call (other tests replace them with their own).
void resident_media();
// A fresh temporary folder for the test (removed at process end is not needed: tests use unique names).
std::string temp_folder(const std::string& name);
// Path of the build folder (holds data/ and the game binary).
std::string build_dir();
// The whole contents of a file (empty when it cannot be read).
std::string file_bytes(const std::string& path);
// Player 1 in level 9, a time level (three stars within 60 s, two within 90 s) at difficulty 3, nothing won or
// lost, no popup, not paused; the user folder is a fresh one named `folder`.
void time_level_nine(const std::string& folder);
