#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// A program timed as a whole process: the median of its rounds and its peak memory.
struct ProcessTimes
{
    double ms = 0;
    long peakKiB = 0;
};

// The path of a program built beside the benchmark, such as "../src/quorbel-sheet".
QString besideMe(const QString &program);

// Runs a program to its end; its standard output, or nothing when it failed.
std::optional<QString> run(const QString &program, const QStringList &arguments);

// The program timed as a whole process by process_timer, which starts it afresh for each round.
std::optional<ProcessTimes> timeProcess(const QString &program, const QStringList &arguments,
                                        int rounds);

// The turn of median time, with the highest peak memory of all turns: on a shared machine a
// slow spell then falls on every program taking turns alike instead of on whichever ran in it.
ProcessTimes medianTurn(QList<ProcessTimes> turns);
