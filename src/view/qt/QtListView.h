// List views in their four view styles: a tree widget with columns for the report style, a
// list widget for the icon, small-icon and list styles. A press on a Qt row reaches the model
// on the same row of its own layout, a press on a column header on that column's header.
#pragma once

#include "QtView.h"
