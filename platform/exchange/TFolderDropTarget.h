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

    TShellResult DragEnter(const QMimeData& data, std::uint32_t keyState, QPoint point, std::uint32_t& effect) override;
    TShellResult DragOver(std::uint32_t keyState, QPoint point, std::uint32_t& effect) override;
    TShellResult DragLeave() override;
    TShellResult Drop(const QMimeData& data, std::uint32_t keyState, QPoint point, std::uint32_t& effect) override;

private:
    // The effects of `allowed` that make sense for the dragged files.
    std::uint32_t UsableEffects(std::uint32_t allowed) const;
    std::uint32_t EffectFor(std::uint32_t keyState, std::uint32_t allowed) const;
    void TakeFiles(const QMimeData& data);
    // The right-button menu: the chosen effect, none for "Abbrechen".
    std::uint32_t AskEffect(std::uint32_t usable, std::uint32_t proposed, QPoint point) const;
    std::uint32_t Perform(std::uint32_t effect, int& error) const;

    std::string folderPath_;
    TKind kind_;
    QPointer<QWidget> owner_;
    std::optional<TFileList> files_;
    bool sameVolume_ = false;
    std::uint32_t lastKeyState_ = 0;
};
