// Stands for a platform header that reaches up into the game: the layer check must reject it.
#pragma once
#include "platform/draw.h"
#include "ui/menu.h"
