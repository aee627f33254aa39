#include "tools/artwork/Drawings.h"
#include "tools/artwork/JpegWriter.h"

#include <QDir>
#include <QGuiApplication>
#include <QPainter>
#include <QSvgGenerator>

#include <cstdio>

namespace {

// The sizes the freedesktop icon theme's hicolor folders are asked for most.
const int kIconSizes[] = {16, 24, 32, 48, 64, 128, 256};

// Writes the program's icon into ICONDIR as parzello.svg and parzello-SIZE.png.
bool WriteApplicationIcon(const QDir& iconDir)
{
    if (!QDir().mkpath(iconDir.path()))
        return false;
    QSvgGenerator svg;
    svg.setFileName(iconDir.filePath(QStringLiteral("parzello.svg")));
    svg.setSize(QSize(256, 256));
    svg.setViewBox(QRect(0, 0, 256, 256));
    svg.setTitle(QStringLiteral("Parzello"));
    svg.setDescription(QStringLiteral("Das Programmsymbol von Parzello"));
    {
        QPainter painter(&svg);
        painter.setRenderHint(QPainter::Antialiasing);
        DrawApplicationIcon(painter);
        if (!painter.end())
            return false;
    }
    for (const int size : kIconSizes) {
        if (!DrawApplicationIconImage(size).save(iconDir.filePath(QStringLiteral("parzello-%1.png").arg(size))))
            return false;
    }
    return true;
}

}  // namespace

// Usage: pzartwork RESOURCEDIR
// Writes scissors.png, gluestick.png, webglyph.png and about.jpg into RESOURCEDIR/images,
// and the program's icon (SVG and PNGs) into RESOURCEDIR/images/appicon.
int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: pzartwork RESOURCEDIR\n");
        return 2;
    }
    const QDir images(QDir(QString::fromLocal8Bit(argv[1])).filePath(QStringLiteral("images")));
    if (!QDir().mkpath(images.path())) {
        std::fprintf(stderr, "cannot create %s\n", qPrintable(images.path()));
        return 1;
    }
    const bool pngsWritten = DrawScissorsImage().save(images.filePath(QStringLiteral("scissors.png"))) &&
                             DrawGlueStickImage().save(images.filePath(QStringLiteral("gluestick.png"))) &&
                             DrawWebGlyph().save(images.filePath(QStringLiteral("webglyph.png")));
    if (!pngsWritten) {
        std::fprintf(stderr, "cannot write the PNG pictures into %s\n", qPrintable(images.path()));
        return 1;
    }
    if (!WriteApplicationIcon(QDir(images.filePath(QStringLiteral("appicon"))))) {
        std::fprintf(stderr, "cannot write the program's icon into %s/appicon\n", qPrintable(images.path()));
        return 1;
    }
    // Quality 88: no visible artefacts on the gradients at a third of the PNG's size.
    const QString error = WriteProgressiveJpeg(DrawAboutPicture(), images.filePath(QStringLiteral("about.jpg")), 88);
    if (!error.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    return 0;
}
