#include "low/low.h"
// high links low only: this door is not declared.
#include "side/side.h"

int High() { return Low() + Side(); }
