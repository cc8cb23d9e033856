// The walks the driver takes through the program; each returns the driver's exit code.
#pragma once

#include "walk_steps.h"

// Tip, Start, Stop, a bad tip with its warning, Info and Ende.
int MainDialogWalk(const WalkSettings& settings);
// Verluste beside the running draws: defaults, Auto, Auswertung against the counters, a new stake,
// and the main dialog closed first.
int LossDialogWalk(const WalkSettings& settings);
// Draws for a few seconds, one screenshot, then Ende: for a first look at the program.
int DemoWalk(const WalkSettings& settings);
