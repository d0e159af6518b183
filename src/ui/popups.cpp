#include "ui/popups.h"

int popupkind = 0, popupfade = 0, popupfadedir = 0;

void popupaction(int) {}
void updatepopups() {}
void drawpopuppanel(float, float, float, const std::string&) {}
