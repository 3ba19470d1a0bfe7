#pragma once

#include "resourcetypes.h"

// The German menus.
bool germanMenu(int id, CMenuResource& out);
