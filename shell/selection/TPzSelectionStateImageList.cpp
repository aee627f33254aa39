#include "shell/selection/TPzSelectionStateImageList.h"

#include <QApplication>
#include <QBitmap>
#include <QPainter>
#include <QPixmap>
#include <QStyle>
#include <QStyleOptionButton>

namespace {

// The pictures are 16 x 16; the box sits inside, a two-pixel margin at the top left.
constexpr int kImageSize = 16;
const QRect kBoxRect(2, 2, 13, 13);

QPixmap CheckBoxPicture(const QColor& fill, bool checked, bool inactive)
{
    QPixmap picture(kImageSize, kImageSize);
    picture.fill(fill);
    {
        QPainter painter(&picture);
        QStyleOptionButton option;
        option.rect = kBoxRect;
        option.state = checked ? QStyle::State_On : QStyle::State_Off;
        if (!inactive)
            option.state |= QStyle::State_Enabled;
        QApplication::style()->drawPrimitive(QStyle::PE_IndicatorCheckBox, &option, &painter);
    }
    // The fill colour is the transparent colour.
    picture.setMask(picture.createMaskFromColor(fill, Qt::MaskInColor));
    return picture;
}

}  // namespace

TPzSelectionStateImageList::TPzSelectionStateImageList()
    : TImageList(kImageSize, kImageSize)
{
    const QColor white(Qt::white);
    const QColor red(Qt::red);
    Add(CheckBoxPicture(white, false, false));
    Add(CheckBoxPicture(red, false, true));
    Add(CheckBoxPicture(red, true, false));
    Add(CheckBoxPicture(red, false, false));
    Add(CheckBoxPicture(red, true, true));
}
