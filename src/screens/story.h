// The story chapters.
#pragma once

void inststory(int chapter);
void showstory();
