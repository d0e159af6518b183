// A storage header reaching up, beside the known exceptions of players.cpp: the layer check must reject it.
#pragma once
#include "app/shell.h"
