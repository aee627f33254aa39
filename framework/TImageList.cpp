#include "framework/TImageList.h"

#include <QIcon>
#include <QPainter>

TImageList::TImageList(int width, int height)
    : size_(width, height)
{
}

void TImageList::SetImageSize(int width, int height)
{
    if (readOnly_)
        return;
    size_ = QSize(width, height);
    images_.clear();
}

int TImageList::Add(const QPixmap& picture)
{
    if (readOnly_)
        return -1;
    images_.append(Fitted(picture));
    return int(images_.size()) - 1;
}

void TImageList::Replace(int index, const QPixmap& picture)
{
    if (!readOnly_ && index >= 0 && index < images_.size())
        images_[index] = Fitted(picture);
}

void TImageList::Clear()
{
    if (!readOnly_)
        images_.clear();
}

QPixmap TImageList::Pixmap(int index) const
{
    return index >= 0 && index < images_.size() ? images_[index] : QPixmap();
}

void TImageList::Draw(QPainter& painter, int x, int y, int index, bool enabled) const
{
    const QPixmap picture = Pixmap(index);
    if (picture.isNull())
        return;
    if (enabled) {
        painter.drawPixmap(x, y, picture);
        return;
    }
    painter.drawPixmap(x, y, QIcon(picture).pixmap(picture.size(), QIcon::Disabled));
}

QPixmap TImageList::Fitted(const QPixmap& picture) const
{
    if (picture.isNull() || picture.size() == size_)
        return picture;
    return picture.scaled(size_, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}
