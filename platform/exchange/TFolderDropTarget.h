#pragma once

#include "platform/exchange/FileListCodec.h"
#include "platform/exchange/IDropTarget.h"

#include <QPointer>
#include <QWidget>

#include <optional>
#include <string>

// A folder that files can be dropped on: copies, moves or links them there by
// the keys held (platform/exchange/DropEffects.h), or, for the trash, moves them to the
// trash. A drag with the right button asks what to do in a small menu.
// Effects that would do nothing or harm give none: moving items into the
// folder they are in, copying or moving a folder into itself or below it.
class TFolderDropTarget final : public IDropTarget
{
public:
    enum class TKind { Folder, Trash };

    TFolderDropTarget(std::string folderPath, TKind kind, QWidget* owner);

    TShellResult DragEnter(const QMimeData& data, std::uint32_t keyState, QPoint point, TDropEffects& effect) override;
    TShellResult DragOver(std::uint32_t keyState, QPoint point, TDropEffects& effect) override;
    TShellResult DragLeave() override;
    TShellResult Drop(const QMimeData& data, std::uint32_t keyState, QPoint point, TDropEffects& effect) override;

private:
    // The effects of `allowed` that make sense for the dragged files.
    TDropEffects UsableEffects(TDropEffects allowed) const;
    TDropEffects EffectFor(std::uint32_t keyState, TDropEffects allowed) const;
    void TakeFiles(const QMimeData& data);
    // The right-button menu: the chosen effect, none for "Abbrechen".
    TDropEffects AskEffect(TDropEffects usable, TDropEffects proposed, QPoint point) const;
    TDropEffects Perform(TDropEffects effect, int& error) const;

    std::string folderPath_;
    TKind kind_;
    QPointer<QWidget> owner_;
    std::optional<TFileList> files_;
    bool sameVolume_ = false;
    std::uint32_t lastKeyState_ = 0;
};
