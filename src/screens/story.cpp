#include "screens/story.h"

int storyfade = 0;

void inststory(int) {}
void showstory() {}
void loadstorystuff_dynamic() {}
void deletestorystuff_dynamic() {}
