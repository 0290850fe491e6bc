// Popup menus (a control's context menu, a tool button's drop-down menu) as Qt menus, built
// from the model's items each time the model pops one up.
#pragma once

#include "QtView.h"
