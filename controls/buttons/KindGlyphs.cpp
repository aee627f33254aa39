#include "controls/buttons/KindGlyphs.h"

#include "controls/buttons/ButtonKinds.h"

#include <QtGlobal>

#include <array>
#include <optional>

const QImage& KindGlyph(TBitBtnXPKind kind)
{
    // The resources live in this static library; register them before the
    // first lookup.
    static const bool registered = [] {
        Q_INIT_RESOURCE(controls_glyphs);
        return true;
    }();
    Q_UNUSED(registered);

    static std::array<std::optional<QImage>, kKindCount> glyphs;
    const TKindValues& values = KindValues(kind);
    auto& glyph = glyphs[values.GlyphPath.isEmpty() ? int(bkCustom) : int(kind)];
    if (!glyph)
        glyph = values.GlyphPath.isEmpty() ? QImage() : QImage(values.GlyphPath);
    return *glyph;
}
