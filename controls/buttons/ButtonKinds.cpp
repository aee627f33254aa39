#include "controls/buttons/ButtonKinds.h"

#include <array>

const TKindValues& KindValues(TBitBtnXPKind kind)
{
    // The captions a German desktop shows on these standard buttons.
    static const std::array<TKindValues, kKindCount> values{{
        {QString(), false, false, mrNone, QString()},
        {QStringLiteral("OK"), true, false, mrOk, QStringLiteral(":/parzello/glyphs/ok.bmp")},
        {QStringLiteral("Abbrechen"), false, true, mrCancel, QStringLiteral(":/parzello/glyphs/cancel.bmp")},
        {QStringLiteral("&Hilfe"), false, false, mrNone, QStringLiteral(":/parzello/glyphs/help.bmp")},
        {QStringLiteral("&Ja"), true, false, mrYes, QStringLiteral(":/parzello/glyphs/yes.bmp")},
        {QStringLiteral("&Nein"), false, true, mrNo, QStringLiteral(":/parzello/glyphs/no.bmp")},
        {QStringLiteral("&Schließen"), false, false, mrNone, QStringLiteral(":/parzello/glyphs/close.bmp")},
        {QStringLiteral("Abbrechen"), false, false, mrAbort, QStringLiteral(":/parzello/glyphs/abort.bmp")},
        {QStringLiteral("&Wiederholen"), false, false, mrRetry, QStringLiteral(":/parzello/glyphs/retry.bmp")},
        {QStringLiteral("&Ignorieren"), false, false, mrIgnore, QStringLiteral(":/parzello/glyphs/ignore.bmp")},
        {QStringLiteral("&Alle"), false, false, mrAll, QStringLiteral(":/parzello/glyphs/all.bmp")},
    }};
    const int index = int(kind);
    return values[index >= 0 && index < kKindCount ? index : int(bkCustom)];
}
