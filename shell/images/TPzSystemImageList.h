#pragma once

#include "framework/TImageList.h"

#include <QPixmap>
#include <QString>

#include <string>

class TSystemImageList;

enum TPzImageListSize { si_small = 0, si_large = 1 };

// An image list whose pictures are the system image list's: the icons of
// files, folders and volumes that rows refer to by index. Sharing (the default)
// shows the process-wide list itself, icons added later included, and the
// list is read-only (pictures of its own would never be shown); without
// sharing the list holds a private copy of the icons there were at that
// moment and takes pictures like any other. Changing either property
// rebuilds the list from the system's.
class TPzSystemImageList : public TImageList
{
public:
    TPzSystemImageList();

    QString Version() const;
    void SetVersion(const QString&) {}

    bool ShareImages() const { return shareImages_; }
    void SetShareImages(bool value);
    // Which of the system's lists: small or large icons (ImageSize gives the pixels).
    TPzImageListSize Size() const { return size_; }
    void SetSize(TPzImageListSize value);
    // The shared system list, null while the images are a private copy.
    const TSystemImageList* Handle() const { return handle_; }

    int Count() const override;
    QPixmap Pixmap(int index) const override;

private:
    void UpdateHandle();

    bool shareImages_ = true;
    TPzImageListSize size_ = si_small;
    const TSystemImageList* handle_ = nullptr;
};

// The system image list index of a path's icon; -1 when there is none. With
// `useAttributes` the path need not exist: it is taken as a plain file of
// that name.
int GetSysIconIndex(const std::string& path, TPzImageListSize size, bool useAttributes, bool open);
// The index of a plain folder's icon (that of the temporary folder).
int GetFolderIconIndex(bool open);
// A width x height picture framed in silver with the icon centred in it (drawn
// clipped when the picture is smaller than the icon): the placeholder of a
// thumbnail still to come. A null pixmap when the size or index is unusable.
QPixmap MakeIconFrameBitmap(const TImageList& images, int height, int width, int iconIndex);
