// The catalogue of named effects and their images.
#pragma once

void loadeffects();
