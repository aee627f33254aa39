#include "app/forms/TJpegDecoder.h"

#include <csetjmp>
#include <cstdio>
#include <jpeglib.h>

namespace {

// Pictures above this many pixels are refused before any memory is taken for
// them: a damaged header must not make us allocate gigabytes.
constexpr qint64 kMaxPixels = qint64(64) * 1024 * 1024;

// libjpeg reports errors through this manager: an error jumps back to the
// setjmp of the running step, a warning about damaged data is counted.
struct TErrorManager
{
    jpeg_error_mgr base{};
    std::jmp_buf jump{};
    char message[JMSG_LENGTH_MAX] = {};
    int corruptions = 0;
};

TErrorManager& ErrorsOf(j_common_ptr info)
{
    return *reinterpret_cast<TErrorManager*>(info->err);
}

void ExitOnError(j_common_ptr info)
{
    TErrorManager& errors = ErrorsOf(info);
    (*info->err->format_message)(info, errors.message);
    std::longjmp(errors.jump, 1);
}

void RecordMessage(j_common_ptr info, int level)
{
    // Level -1 is a warning about the data; higher levels are trace output.
    if (level >= 0)
        return;
    TErrorManager& errors = ErrorsOf(info);
    if (errors.corruptions++ == 0)
        (*info->err->format_message)(info, errors.message);
}

// One libjpeg decompressor, destroyed on every way out.
class TDecompressor
{
public:
    TDecompressor()
    {
        info_.err = jpeg_std_error(&errors_.base);
        errors_.base.error_exit = ExitOnError;
        errors_.base.emit_message = RecordMessage;
        created_ = Create();
    }
    ~TDecompressor()
    {
        if (created_)
            jpeg_destroy_decompress(&info_);
    }
    TDecompressor(const TDecompressor&) = delete;
    TDecompressor& operator=(const TDecompressor&) = delete;

    // Reads the header of `data`, which must outlive the decompressor.
    bool ReadHeader(const QByteArray& data)
    {
        if (!created_)
            return false;
        if (setjmp(errors_.jump) != 0)
            return false;
        jpeg_mem_src(&info_, reinterpret_cast<const unsigned char*>(data.constData()),
                     static_cast<unsigned long>(data.size()));
        jpeg_read_header(&info_, TRUE);
        info_.out_color_space = JCS_EXT_RGBX;
        jpeg_calc_output_dimensions(&info_);
        return true;
    }

    // Decodes into `image`, which has the output size and four bytes per pixel.
    bool ReadPixels(QImage& image)
    {
        uchar* const bits = image.bits();
        const qsizetype stride = image.bytesPerLine();
        if (setjmp(errors_.jump) != 0)
            return false;
        jpeg_start_decompress(&info_);
        while (info_.output_scanline < info_.output_height) {
            JSAMPROW row = bits + stride * qsizetype(info_.output_scanline);
            jpeg_read_scanlines(&info_, &row, 1);
        }
        jpeg_finish_decompress(&info_);
        return errors_.corruptions == 0;
    }

    const jpeg_decompress_struct& Info() const { return info_; }
    QString Message() const { return QString::fromLocal8Bit(errors_.message); }

private:
    bool Create()
    {
        if (setjmp(errors_.jump) != 0)
            return false;
        jpeg_create_decompress(&info_);
        return true;
    }

    TErrorManager errors_;
    jpeg_decompress_struct info_{};
    bool created_ = false;
};

QString DamagedText(const QString& reason)
{
    return QStringLiteral("Das JPEG-Bild ist beschädigt: %1").arg(reason);
}

}  // namespace

TJpegDecoder::TJpegDecoder(QByteArray data)
    : data_(std::move(data))
{
    TDecompressor decompressor;
    if (!decompressor.ReadHeader(data_)) {
        errorText_ = DamagedText(decompressor.Message());
        return;
    }
    const jpeg_decompress_struct& info = decompressor.Info();
    size_ = QSize(int(info.output_width), int(info.output_height));
    progressive_ = info.progressive_mode != 0;
    if (qint64(size_.width()) * size_.height() > kMaxPixels)
        errorText_ =
            QStringLiteral("Das JPEG-Bild ist zu groß (%1 × %2 Pixel).").arg(size_.width()).arg(size_.height());
}

QImage TJpegDecoder::Decode()
{
    if (!IsValid())
        return {};
    TDecompressor decompressor;
    if (!decompressor.ReadHeader(data_)) {
        errorText_ = DamagedText(decompressor.Message());
        return {};
    }
    QImage image(size_, QImage::Format_RGBX8888);
    if (image.isNull()) {
        errorText_ = QStringLiteral("Für das JPEG-Bild ist nicht genug Speicher frei.");
        return {};
    }
    if (!decompressor.ReadPixels(image)) {
        errorText_ = DamagedText(decompressor.Message());
        return {};
    }
    return image;
}
