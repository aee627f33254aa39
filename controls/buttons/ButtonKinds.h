#pragma once

#include "controls/buttons/ButtonTypes.h"

#include <QString>

// What each predefined kind sets on a button.
struct TKindValues
{
    QString Caption;    // German caption, "&" marks the mnemonic
    bool Default;       // Enter on the window clicks it
    bool Cancel;        // Esc on the window clicks it
    int ModalResult;    // handed to the modal dialog on a click
    QString GlyphPath;  // resource of the glyph bitmap; empty for bkCustom
};

const TKindValues& KindValues(TBitBtnXPKind kind);
