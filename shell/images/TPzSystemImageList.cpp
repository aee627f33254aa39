#include "shell/images/TPzSystemImageList.h"

#include "platform/icons/ShellFileInfo.h"
#include "platform/icons/TSystemImageList.h"
#include "shell/navigator/library/ComponentVersion.h"

#include <QColor>
#include <QDir>
#include <QFile>
#include <QPainter>

namespace {

const QColor kFrameColour(0xC0, 0xC0, 0xC0);

TImageListSize SystemSize(TPzImageListSize size)
{
    return size == si_large ? ilsLarge : ilsSmall;
}

}  // namespace

TPzSystemImageList::TPzSystemImageList()
{
    UpdateHandle();
}

QString TPzSystemImageList::Version() const
{
    return ComponentVersion("TPzSystemImageList");
}

void TPzSystemImageList::SetShareImages(bool value)
{
    handle_ = nullptr;
    shareImages_ = value;
    UpdateHandle();
}

void TPzSystemImageList::SetSize(TPzImageListSize value)
{
    size_ = value;
    UpdateHandle();
}

void TPzSystemImageList::UpdateHandle()
{
    const TSystemImageList& system = TSystemImageList::Get(SystemSize(size_));
    SetReadOnly(false);
    SetImageSize(system.Width(), system.Height());
    if (shareImages_) {
        handle_ = &system;
        SetReadOnly(true);
        return;
    }
    handle_ = nullptr;
    const int count = system.Count();
    for (int index = 0; index < count; ++index)
        Add(system.Pixmap(index));
}

int TPzSystemImageList::Count() const
{
    return handle_ ? handle_->Count() : TImageList::Count();
}

QPixmap TPzSystemImageList::Pixmap(int index) const
{
    return handle_ ? handle_->Pixmap(index) : TImageList::Pixmap(index);
}

int GetSysIconIndex(const std::string& path, TPzImageListSize size, bool useAttributes, bool open)
{
    std::uint32_t flags = SHGFI_SYSICONINDEX;
    if (size != si_large)
        flags |= SHGFI_SMALLICON;
    if (open)
        flags |= SHGFI_OPENICON;
    std::uint32_t attributes = 0;
    if (useAttributes) {
        flags |= SHGFI_USEFILEATTRIBUTES;
        attributes = FILE_ATTRIBUTE_NORMAL;
    }
    const TShFileInfo info = SHGetFileInfo(path, attributes, flags);
    return info.succeeded ? info.iIcon : -1;
}

int GetFolderIconIndex(bool open)
{
    return GetSysIconIndex(QFile::encodeName(QDir::tempPath()).toStdString(), si_small, false, open);
}

QPixmap MakeIconFrameBitmap(const TImageList& images, int height, int width, int iconIndex)
{
    if (width <= 0 || height <= 0)
        return {};
    QPixmap picture(width, height);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    painter.setPen(kFrameColour);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(0, 0, width - 1, height - 1);
    images.Draw(painter, (width - images.Width()) / 2, (height - images.Height()) / 2, iconIndex);
    return picture;
}
