#pragma once

#include <QString>

#include <optional>

// Medians of one workload's rounds, in milliseconds, and the driving process's peak memory.
struct PhaseTimes
{
    double walkIn = 0;
    double rows = 0;
    double draw = 0;
    double save = 0;
    double job = 0;
    long peakKiB = 0;

    QString toString() const;
    static std::optional<PhaseTimes> parse(const QString &text);
};

// quorbel_bench --drive FOLDER ROWS SHEET ROUNDS: starts Quorbel offscreen and does the user's
// job on FOLDER ROUNDS times after one warm-up round, saving to SHEET; prints the PhaseTimes.
int driveQuorbel(int argc, char *argv[]);
