#include "ui/menu.h"

int menuframes = 0;
int prevscreen = 0;
TImage popupimage;

void loadmenustuff() {}
void instmenu() {}
void showmenu() {}
