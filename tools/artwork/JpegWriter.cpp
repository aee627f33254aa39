#include "tools/artwork/JpegWriter.h"

#include <QFile>

#include <cstdio>
#include <jpeglib.h>
#include <memory>

namespace {

struct TFileCloser
{
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// The compressor; libjpeg's default error handler ends the process, which is
// acceptable in a developer tool that writes one picture.
class TCompressor
{
public:
    TCompressor()
    {
        info_.err = jpeg_std_error(&errors_);
        jpeg_create_compress(&info_);
    }
    ~TCompressor() { jpeg_destroy_compress(&info_); }
    TCompressor(const TCompressor&) = delete;
    TCompressor& operator=(const TCompressor&) = delete;

    jpeg_compress_struct* operator->() { return &info_; }
    jpeg_compress_struct* Get() { return &info_; }

private:
    jpeg_error_mgr errors_{};
    jpeg_compress_struct info_{};
};

}  // namespace

QString WriteProgressiveJpeg(const QImage& image, const QString& fileName, int quality)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    std::unique_ptr<std::FILE, TFileCloser> file(std::fopen(QFile::encodeName(fileName).constData(), "wb"));
    if (!file)
        return QStringLiteral("cannot create %1").arg(fileName);

    TCompressor compressor;
    jpeg_stdio_dest(compressor.Get(), file.get());
    compressor->image_width = JDIMENSION(rgb.width());
    compressor->image_height = JDIMENSION(rgb.height());
    compressor->input_components = 3;
    compressor->in_color_space = JCS_RGB;
    jpeg_set_defaults(compressor.Get());
    jpeg_set_quality(compressor.Get(), quality, TRUE);
    jpeg_simple_progression(compressor.Get());
    jpeg_start_compress(compressor.Get(), TRUE);
    while (compressor->next_scanline < compressor->image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(rgb.constScanLine(int(compressor->next_scanline)));
        jpeg_write_scanlines(compressor.Get(), &row, 1);
    }
    jpeg_finish_compress(compressor.Get());
    if (std::fflush(file.get()) != 0)
        return QStringLiteral("cannot write %1").arg(fileName);
    return {};
}
