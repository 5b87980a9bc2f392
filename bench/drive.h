#pragma once

#include <QList>
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

// The turn whose whole job took the median time, with the highest peak memory of all turns.
PhaseTimes medianTurn(QList<PhaseTimes> turns);

// quorbel_bench --drive FOLDER ROWS SHEET ROUNDS: starts Quorbel offscreen and does the user's
// job on FOLDER ROUNDS times after one warm-up round, saving to SHEET; prints the PhaseTimes.
int driveQuorbel(int argc, char *argv[]);
