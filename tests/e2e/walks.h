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
// Thousands of random player actions from a seed, with the draws and Auto running, checked at
// intervals; a failure prints the command that replays the walk.
int StressWalk(const WalkSettings& settings);
// Odd text typed and pasted into every tip and price field, each read checked against the platform's
// reading and the program's answer to it.
int BadInputWalk(const WalkSettings& settings);
// The draws and Auto left running for a while, checked at intervals, the program's memory compared
// before and after.
int SoakWalk(const WalkSettings& settings);
