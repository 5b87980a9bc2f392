#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// One benchmark workload: a folder of uncompressed 24-bit frames drawn into a sheet of so many
// rows.
struct Workload
{
    QString name;
    int frames = 0;
    int frameSize = 0;
    int rows = 0;

    int framesPerRow() const { return frames / rows; }
    int sheetWidth() const { return frameSize * framesPerRow(); }
    int sheetHeight() const { return frameSize * rows; }
    // The bytes of the sheet as a 24-bit bitmap's pixels.
    qint64 sheetBytes() const { return qint64((sheetWidth() * 3 + 3) & ~3) * sheetHeight(); }
};

QList<Workload> allWorkloads();
std::optional<Workload> findWorkload(const QString &name);

// Writes the workload's frames, f0001.bmp onwards, with pixels that differ from frame to frame
// and within each frame; returns their paths in order.
QStringList writeFrames(const Workload &workload, const QString &folder);
