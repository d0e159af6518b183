// Popup dialogs: at most one open at a time, drawn by the current screen over itself.
#pragma once
#include <string>

extern int popupkind, popupfade, popupfadedir;

void popupaction(int number);
void updatepopups();
void drawpopuppanel(float x, float y, float scale, const std::string& title);
