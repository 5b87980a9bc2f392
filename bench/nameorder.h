#pragma once

#include "bench/drive.h"
#include "bench/processes.h"

#include <optional>

// A folder of so many frames ordered by name, as it is and with one pair of names equal but for
// case: quorbel-sheet and the desktop job (walk-in, rows, Draw, Save) on both.
struct NameOrderFigures
{
    int frames = 0;
    ProcessTimes sheet[2]; // without the pair, with it
    PhaseTimes desktop[2];
};

std::optional<NameOrderFigures> measureNameOrder(int frames, int rounds, int turns);
void printNameOrderHeading();
void printNameOrderRow(const NameOrderFigures &figures);
