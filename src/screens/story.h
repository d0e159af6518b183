// The story chapters.
#pragma once

extern int storyfade;  // 0 while a chapter is read; 1..300 during the ending of the last chapter

void inststory(int chapter);
void showstory();
void loadstorystuff_dynamic();
void deletestorystuff_dynamic();
