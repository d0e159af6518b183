// Popup dialogs: at most one open at a time, drawn by the current screen over itself.
#pragma once

extern int popupkind, popupfade, popupfadedir;

void popupaction(int number);
void updatepopups();
