#include "ui/menu.h"

int menuframes = 0;
int prevscreen = 0;
TImage popupimage;
TImage blacktile;
TImage collimg, coll2img, coll3img;
TImage lineimg;
TImage optionstrackimg, optionstrackfill1img, optionstrackfillimg;
TImage cbimg, himg;
TImage helparrow2img, harrowimg, popuplineimg, barimg;
TImage buttonimage[21];

void loadmenustuff() {
    set_auto_midhandle(0);
    collimg = load_image_logged("data\\ui\\coll.png");
    coll2img = load_image_logged("data\\ui\\coll2.png");
    set_auto_midhandle(1);
    coll3img = load_image_logged("data\\ui\\coll3.png");
    popupimage = load_image_logged("data\\ui\\popup.png");
    lineimg = load_image_logged("data\\ui\\line.png");
    optionstrackimg = load_image_logged("data\\ui\\optionstrack.png");
    optionstrackfill1img = load_image_logged("data\\ui\\optionstrackfill1.png");
    optionstrackfillimg = load_image_logged("data\\ui\\optionstrackfill.png");
    blacktile = load_image_logged("data\\ui\\black.png");
    cbimg = load_image_logged("data\\ui\\cb.png");
    himg = load_image_logged("data\\ui\\h.png");
    set_image_handle(himg, 19, 35);
    helparrow2img = load_image_logged("data\\ui\\helparrow2.png");
    harrowimg = load_image_logged("data\\ui\\harrow.png");
    popuplineimg = load_image_logged("data\\ui\\popupline.png");
    static const struct {
        int kind;
        const char* path;
    } buttons[] = {{1, "data\\map\\arrowright.png"}, {2, "data\\map\\arrowleft.png"},  {3, "data\\ui\\button3.png"},
                   {5, "data\\ui\\button5.png"},     {6, "data\\ui\\menubutton1.png"}, {10, "data\\ui\\button10.png"},
                   {11, "data\\ui\\button11.png"},   {12, "data\\map\\nav.png"},       {13, "data\\map\\level1.png"},
                   {14, "data\\map\\level2.png"},    {15, "data\\ui\\button6.png"},    {16, "data\\ui\\pause.png"}};
    for (const auto& b : buttons) buttonimage[b.kind] = load_image_logged(b.path);
    barimg = load_image_logged("data\\ui\\bar.png");
}
void instmenu() {}
void showmenu() {}
void loadmenustuff_dynamic() {}
void deletemenustuff_dynamic() {}
