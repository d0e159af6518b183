#include "ui/menu.h"

int menuframes = 0;
int prevscreen = 0;
TImage popupimage;
TImage blacktile;

void loadmenustuff() { blacktile = load_image_logged("data\\ui\\black.png"); }
void instmenu() {}
void showmenu() {}
void loadmenustuff_dynamic() {}
void deletemenustuff_dynamic() {}
