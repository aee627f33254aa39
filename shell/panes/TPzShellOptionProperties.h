#pragma once

#include "shell/panes/TPzShellOptions.h"

// The option word's bits as properties of a pane (the folder tree and the file
// list), read from its Options() and written through its SetOption, which
// applies a change to the pane. A pane derives from
// TPzShellOptionProperties<itself> and befriends it.
template <class TPane>
class TPzShellOptionProperties
{
public:
    bool ShowNethood() const { return Pane().Options().ShowNethood(); }
    void SetShowNethood(bool value) { Pane().SetOption(TPzShellOptions::ShowNethoodBit, value); }
    bool ShowRecycleBin() const { return Pane().Options().ShowRecycleBin(); }
    void SetShowRecycleBin(bool value) { Pane().SetOption(TPzShellOptions::ShowRecycleBinBit, value); }
    bool ShowErrorMessages() const { return Pane().Options().ShowErrorMessages(); }
    void SetShowErrorMessages(bool value) { Pane().SetOption(TPzShellOptions::ShowErrorMessagesBit, value); }
    bool ShowHidden() const { return Pane().Options().ShowHidden(); }
    void SetShowHidden(bool value) { Pane().SetOption(TPzShellOptions::ShowHiddenBit, value); }
    bool ShowFiles() const { return Pane().Options().ShowFiles(); }
    void SetShowFiles(bool value) { Pane().SetOption(TPzShellOptions::ShowFilesBit, value); }
    bool ShowContextMenuOnTop() const { return Pane().Options().ShowContextMenuOnTop(); }
    void SetShowContextMenuOnTop(bool value) { Pane().SetOption(TPzShellOptions::ShowContextMenuOnTopBit, value); }
    bool ColorCompressed() const { return Pane().Options().ColorCompressed(); }
    void SetColorCompressed(bool value) { Pane().SetOption(TPzShellOptions::ColorCompressedBit, value); }
    bool ColorEncrypted() const { return Pane().Options().ColorEncrypted(); }
    void SetColorEncrypted(bool value) { Pane().SetOption(TPzShellOptions::ColorEncryptedBit, value); }
    bool NoFillOnStartup() const { return Pane().Options().NoFillOnStartup(); }
    void SetNoFillOnStartup(bool value) { Pane().SetOption(TPzShellOptions::NoFillOnStartupBit, value); }

protected:
    ~TPzShellOptionProperties() = default;

private:
    const TPane& Pane() const { return static_cast<const TPane&>(*this); }
    TPane& Pane() { return static_cast<TPane&>(*this); }
};
