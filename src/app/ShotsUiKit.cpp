#include "app/Shots.h"

// The gallery of shared pieces.
void renderUiKitShots(ShotContext&) {}
