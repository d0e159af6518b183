#include "screens/story.h"

void inststory(int) {}
void showstory() {}
