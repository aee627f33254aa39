#pragma once

#include <QObject>

// The enumerations of the bitmap buttons, registered with Qt's meta-object
// system so that forms and the property editor can name their values.
class TButtonTypes
{
    Q_GADGET
public:
    // Predefined kinds: each sets caption, glyph, default/cancel role and
    // modal result in one go; bkCustom leaves all of them alone.
    enum TBitBtnXPKind { bkCustom, bkOK, bkCancel, bkHelp, bkYes, bkNo, bkClose, bkAbort, bkRetry, bkIgnore, bkAll };
    Q_ENUM(TBitBtnXPKind)

    // Where the glyph sits relative to the caption.
    enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
    Q_ENUM(TButtonLayout)

    // Stored for forms; it does not change the drawing.
    enum TButtonStyle { bsAutoDetect, bsWin31, bsNew };
    Q_ENUM(TButtonStyle)
};

using TBitBtnXPKind = TButtonTypes::TBitBtnXPKind;
using TButtonLayout = TButtonTypes::TButtonLayout;
using TButtonStyle = TButtonTypes::TButtonStyle;
using enum TButtonTypes::TBitBtnXPKind;
using enum TButtonTypes::TButtonLayout;
using enum TButtonTypes::TButtonStyle;

// Number of kinds, bkCustom included.
constexpr int kKindCount = bkAll + 1;

// The picture a glyph shows; also the index of its cell in the glyph bitmap
// and of its state image.
enum TGlyphState { gsUp, gsDisabled, gsDown, gsExclusive };
constexpr int kGlyphStateCount = gsExclusive + 1;

// Results a button hands to its modal dialog (QDialog::done). mrOk equals
// QDialog::Accepted, so an OK button accepts a dialog as Qt expects.
enum TModalResult {
    mrNone = 0,
    mrOk = 1,
    mrCancel = 2,
    mrAbort = 3,
    mrRetry = 4,
    mrIgnore = 5,
    mrYes = 6,
    mrNo = 7,
    mrAll = 8
};
