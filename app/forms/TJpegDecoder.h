#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

// Decodes a JPEG picture held in memory with libjpeg. The header is read at
// construction; Decode gives the picture. A damaged file never crashes: it
// leaves an error text and a null image. Data that libjpeg would only warn
// about (a truncated file, a broken scan) counts as damaged too, so no picture
// with grey filled-in rows is ever shown as if it were whole.
class TJpegDecoder
{
public:
    explicit TJpegDecoder(QByteArray data);

    bool IsValid() const { return errorText_.isEmpty(); }
    // German, naming libjpeg's reason; empty while nothing went wrong.
    QString ErrorText() const { return errorText_; }
    QSize Size() const { return size_; }
    bool IsProgressive() const { return progressive_; }

    // The whole picture as RGB; a null image (and an error text) on failure.
    QImage Decode();

private:
    QByteArray data_;
    QString errorText_;
    QSize size_;
    bool progressive_ = false;
};
