// Pictures of the backgrounds generator that are not parallax layers.
#pragma once
#include <string>

// The menu picture and its torch-lit twin, the story page, the match-3 camp and the match-3 board backdrop.
bool write_extras(const std::string& data);
