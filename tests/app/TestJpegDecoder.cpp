#include "app/forms/FormSupport.h"
#include "app/forms/TJpegDecoder.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QSet>

#include <gtest/gtest.h>

namespace {

QByteArray AboutPicture()
{
    InitAppResources();
    QFile file(QStringLiteral(":/parzello/images/about.jpg"));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return file.readAll();
}

// A baseline (not progressive) JPEG made by Qt's own writer.
QByteArray BaselineJpeg(const QImage& image)
{
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(image.save(&buffer, "JPG"));
    return data;
}

// Offset of the frame header's height field (after the SOF marker, the
// segment length and the sample precision), or -1.
qsizetype FrameSizeOffset(const QByteArray& data)
{
    for (qsizetype at = 2; at + 8 < data.size(); ++at) {
        const auto marker = uchar(data[at + 1]);
        if (uchar(data[at]) == 0xFF && (marker == 0xC0 || marker == 0xC2))
            return at + 5;
    }
    return -1;
}

QByteArray WithFrameSize(QByteArray data, int width, int height)
{
    const qsizetype at = FrameSizeOffset(data);
    EXPECT_GT(at, 0);
    data[at] = char(height >> 8);
    data[at + 1] = char(height & 0xFF);
    data[at + 2] = char(width >> 8);
    data[at + 3] = char(width & 0xFF);
    return data;
}

void ExpectRefused(TJpegDecoder& decoder)
{
    EXPECT_TRUE(decoder.Decode().isNull());
    EXPECT_FALSE(decoder.IsValid());
    EXPECT_TRUE(decoder.ErrorText().startsWith(QStringLiteral("Das JPEG-Bild ist")))
        << decoder.ErrorText().toStdString();
}

}  // namespace

TEST(JpegDecoder, AboutPictureIsProgressiveAndDecodesWhole)
{
    TJpegDecoder decoder(AboutPicture());
    ASSERT_TRUE(decoder.IsValid()) << decoder.ErrorText().toStdString();
    EXPECT_EQ(decoder.Size(), QSize(306, 322));
    EXPECT_TRUE(decoder.IsProgressive());

    const QImage picture = decoder.Decode();
    ASSERT_FALSE(picture.isNull()) << decoder.ErrorText().toStdString();
    EXPECT_EQ(picture.size(), QSize(306, 322));
    EXPECT_TRUE(decoder.ErrorText().isEmpty());
    // A real picture, not a grey fill: many colours from top to bottom.
    QSet<QRgb> colours;
    for (int y = 0; y < picture.height(); y += 7)
        colours.insert(picture.pixel(picture.width() / 2, y));
    EXPECT_GT(colours.size(), 10);
}

TEST(JpegDecoder, BaselineColourAndGreyPicturesKeepTheirPixels)
{
    QImage colour(40, 24, QImage::Format_RGB32);
    colour.fill(QColor(200, 40, 30));
    QImage grey = QImage(17, 9, QImage::Format_Grayscale8);
    grey.fill(128);

    for (const QImage& source : {colour, grey}) {
        TJpegDecoder decoder(BaselineJpeg(source));
        ASSERT_TRUE(decoder.IsValid()) << decoder.ErrorText().toStdString();
        EXPECT_FALSE(decoder.IsProgressive());
        const QImage decoded = decoder.Decode();
        ASSERT_EQ(decoded.size(), source.size());
        const QColor expected = source.pixelColor(5, 5);
        const QColor got = decoded.pixelColor(5, 5);
        EXPECT_NEAR(got.red(), expected.red(), 6);
        EXPECT_NEAR(got.green(), expected.green(), 6);
        EXPECT_NEAR(got.blue(), expected.blue(), 6);
    }
}

TEST(JpegDecoder, DataThatIsNoJpegIsRefusedAtTheHeader)
{
    for (const QByteArray& data :
         {QByteArray(), QByteArray("GIF89a not a jpeg at all"), QByteArray(1, char(0xFF)), AboutPicture().left(20)}) {
        TJpegDecoder decoder(data);
        EXPECT_FALSE(decoder.IsValid());
        EXPECT_EQ(decoder.Size(), QSize());
        ExpectRefused(decoder);
    }
}

TEST(JpegDecoder, TruncatedPictureIsAnErrorNotAGreyFilledImage)
{
    const QByteArray whole = AboutPicture();
    for (const qsizetype length : {whole.size() / 3, whole.size() - 40}) {
        TJpegDecoder decoder(whole.left(length));
        EXPECT_TRUE(decoder.IsValid()) << "the header is whole";
        EXPECT_EQ(decoder.Size(), QSize(306, 322));
        ExpectRefused(decoder);
    }
}

TEST(JpegDecoder, ImpossibleFrameSizesAreRefusedBeforeAnyAllocation)
{
    const QByteArray whole = AboutPicture();
    TJpegDecoder huge(WithFrameSize(whole, 65000, 65000));
    EXPECT_EQ(huge.Size(), QSize(65000, 65000));
    ExpectRefused(huge);

    TJpegDecoder empty(WithFrameSize(whole, 306, 0));
    ExpectRefused(empty);
}

TEST(JpegDecoder, DecodesAgainAfterTheFirstDecode)
{
    TJpegDecoder decoder(AboutPicture());
    const QImage first = decoder.Decode();
    const QImage second = decoder.Decode();
    ASSERT_FALSE(second.isNull());
    EXPECT_EQ(first, second);
}
