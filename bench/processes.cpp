#include "bench/processes.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>

#include <algorithm>

QString besideMe(const QString &program)
{
    return QDir(QCoreApplication::applicationDirPath()).filePath(program);
}

std::optional<QString> run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(program, arguments);
    if (!process.waitForFinished(-1) || process.exitStatus() != QProcess::NormalExit
        || process.exitCode() != 0)
        return std::nullopt;
    return QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
}

std::optional<ProcessTimes> timeProcess(const QString &program, const QStringList &arguments,
                                        int rounds)
{
    const auto said = run(besideMe(QStringLiteral("process_timer")),
                          QStringList{QString::number(rounds), program} + arguments);
    const QStringList figures = said ? said->split(u' ') : QStringList();
    if (figures.size() != 2)
        return std::nullopt;
    return ProcessTimes{figures.at(0).toDouble(), figures.at(1).toLong()};
}

ProcessTimes medianTurn(QList<ProcessTimes> turns)
{
    std::sort(turns.begin(), turns.end(),
              [](const ProcessTimes &a, const ProcessTimes &b) { return a.ms < b.ms; });
    ProcessTimes median = turns.at(turns.size() / 2);
    for (const ProcessTimes &turn : std::as_const(turns))
        median.peakKiB = std::max(median.peakKiB, turn.peakKiB);
    return median;
}
