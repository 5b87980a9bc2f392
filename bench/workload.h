#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <cmath>
#include <optional>

// One benchmark workload: a folder of uncompressed 24-bit frames drawn into a sheet of so many
// rows.
struct Workload
{
    QString name;
    int frames = 0;
    int frameSize = 0;
    int rows = 0;

    // Rounded half to even, as the programs do.
    int framesPerRow() const { return int(std::nearbyint(double(frames) / rows)); }
    int sheetWidth() const { return frameSize * framesPerRow(); }
    int sheetHeight() const { return frameSize * rows; }
    // The bytes of the sheet as a 24-bit bitmap's pixels.
    qint64 sheetBytes() const { return qint64((sheetWidth() * 3 + 3) & ~3) * sheetHeight(); }
};

// S to W, the workloads a plain run measures; then the scale, from a thousand frames to the most
// the desktop program takes, run when named.
QList<Workload> allWorkloads();
QList<Workload> scaleWorkloads();
std::optional<Workload> findWorkload(const QString &name);

// Writes the workload's frames, f0001.bmp onwards (f0001.png with png), with pixels that differ
// from frame to frame and within each frame; returns their paths in order.
QStringList writeFrames(const Workload &workload, const QString &folder, bool png = false);
