#pragma once

#include <QPixmap>
#include <QSize>
#include <QVector>

class QPainter;

// A list of pictures of one size, addressed by index, as list and tree views,
// tab bars and buttons take their images from.
class TImageList
{
public:
    TImageList() = default;
    TImageList(int width, int height);
    virtual ~TImageList() = default;

    int Width() const { return size_.width(); }
    int Height() const { return size_.height(); }
    QSize ImageSize() const { return size_; }
    void SetImageSize(int width, int height);  // clears the list

    // A list may show pictures held elsewhere (a derived class answers Count
    // and Pixmap from there); it is then read-only: Add gives -1 and
    // Replace, Clear and SetImageSize do nothing, so that no picture is
    // stored where no one would see it.
    bool ReadOnly() const { return readOnly_; }

    virtual int Count() const { return int(images_.size()); }
    // Adds a picture, scaled to the list's size when it differs; returns its
    // index, or -1 for a read-only list.
    int Add(const QPixmap& picture);
    void Replace(int index, const QPixmap& picture);
    void Clear();

    // The picture at `index`; a null pixmap for an index out of range.
    virtual QPixmap Pixmap(int index) const;
    // Draws the picture at `index` with its top left at (x, y); a disabled
    // picture is drawn dimmed.
    void Draw(QPainter& painter, int x, int y, int index, bool enabled = true) const;

protected:
    // Set while the pictures shown are not this list's own.
    void SetReadOnly(bool readOnly) { readOnly_ = readOnly; }

private:
    QPixmap Fitted(const QPixmap& picture) const;

    QSize size_{16, 16};
    QVector<QPixmap> images_;
    bool readOnly_ = false;
};
