#pragma once

#include <QImage>
#include <QString>

// Writes `image` as a progressive JPEG file; returns an error text, empty on success.
QString WriteProgressiveJpeg(const QImage& image, const QString& fileName, int quality);
