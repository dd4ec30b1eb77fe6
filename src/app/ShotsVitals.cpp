#include "app/Shots.h"

// The Performance pages and the menu-bar panel.
void renderVitalsShots(ShotContext&) {}
