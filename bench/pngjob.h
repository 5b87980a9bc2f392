#pragma once

#include "bench/processes.h"
#include "bench/workload.h"

#include <optional>

// quorbel-sheet's PNG job, the workload's frames as PNG files with transparency into a PNG sheet
// and its JSON, at each --png-level, against png_limit, the same job on one core with libpng.
struct PngJobFigures
{
    ProcessTimes floor;
    qint64 floorBytes = 0;
    // fast, default, best
    ProcessTimes levels[3];
    qint64 bytes[3] = {};
    // Every sheet decoded is the floor's, pixel for pixel.
    bool samePixels = false;
};

std::optional<PngJobFigures> measurePngJob(const Workload &workload, int rounds, int turns);
void printPngJobHeading();
void printPngJobRow(const Workload &workload, const PngJobFigures &figures);
