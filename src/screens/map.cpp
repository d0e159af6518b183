#include "screens/map.h"

TImage mapstar0img, mapstar1img, mapstar2img, gamestar0img, gamestar1img, gamestar2img, lockimg;

void loadmapstuff() {
    set_auto_midhandle(1);
    mapstar1img = load_image_logged("data\\map\\star1.png");
    mapstar0img = load_image_logged("data\\map\\star0.png");
    mapstar2img = load_image_logged("data\\map\\star2.png");
    gamestar1img = load_image_logged("data\\game\\star1.png");
    gamestar0img = load_image_logged("data\\game\\star0.png");
    gamestar2img = load_image_logged("data\\game\\star2.png");
    lockimg = load_image_logged("data\\map\\lock.png");
}
void instadventuremap() {}
void showadventuremap() {}
void loadmapstuff_dynamic() {}
void deletemapstuff_dynamic() {}
