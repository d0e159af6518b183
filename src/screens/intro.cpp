#include "screens/intro.h"

void instintro(int) {}
void showintro() {}
void instload() {}
void showload() {}
