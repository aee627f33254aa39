#include "tools/artwork/Drawings.h"
#include "tools/artwork/JpegWriter.h"

#include <QDir>
#include <QGuiApplication>

#include <cstdio>

// Usage: pzartwork RESOURCEDIR
// Writes scissors.png, gluestick.png, webglyph.png and about.jpg into RESOURCEDIR/images.
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
    const bool pngsWritten = DrawScissorsImage().save(images.filePath(QStringLiteral("scissors.png")))
        && DrawGlueStickImage().save(images.filePath(QStringLiteral("gluestick.png")))
        && DrawWebGlyph().save(images.filePath(QStringLiteral("webglyph.png")));
    if (!pngsWritten) {
        std::fprintf(stderr, "cannot write the PNG pictures into %s\n", qPrintable(images.path()));
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
