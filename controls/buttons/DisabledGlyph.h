#pragma once

#include <QImage>

class QPalette;

// The colours of a button face that disabled pictures are drawn in.
struct TFaceColors
{
    QRgb Face;
    QRgb Highlight;
    QRgb Shadow;
};

TFaceColors FaceColors(const QPalette& palette);

// A greyed, embossed picture of a one-cell glyph: the dark pixels of the
// picture (those not of its transparent colour) in the shadow colour, with a
// copy one pixel down and right in the highlight colour, on the face colour.
QImage EmbossedImage(const QImage& cell, QRgb transparentColor, const TFaceColors& colors);

// A glyph's own disabled cell in the face's colours: white becomes the
// highlight, grey (0x808080) the shadow and the transparent colour the face.
QImage RecolouredImage(const QImage& cell, QRgb transparentColor, const TFaceColors& colors);
