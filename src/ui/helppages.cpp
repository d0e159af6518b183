#include "ui/helppages.h"

int helppage = 0;
int fullhelp = 0;
int helpframes = 0;

// The illustrated pages are not drawn yet, so no page opens.
int choosehelppage() {
    helppage = 0;
    helpframes = 0;
    return 0;
}

void drawhelppage() {}
