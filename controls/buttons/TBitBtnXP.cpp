#include "controls/buttons/TBitBtnXP.h"

#include "controls/buttons/ButtonKinds.h"
#include "controls/buttons/ClassicFrame.h"
#include "controls/buttons/KindGlyphs.h"
#include "framework/TDialogKeys.h"

#include <QApplication>
#include <QDialog>
#include <QPainter>
#include <QVariant>

namespace {

// Size of a standard dialog button, the least a button asks for.
constexpr int kMinimumWidth = 75;
constexpr int kMinimumHeight = 23;
// Room the face's frame and focus rectangle take around the content.
constexpr int kContentPaddingX = 16;
constexpr int kContentPaddingY = 8;

TBitBtnXP::THelpHandler& HelpHandler()
{
    static TBitBtnXP::THelpHandler handler;
    return handler;
}

}  // namespace

TBitBtnXP::TBitBtnXP(QWidget* parent)
    : QPushButton(parent)
{
    glyph_.OnImageChanged = [this] { update(); };
    // The window's Enter and Esc go through TDialogKeys, so QDialog's own
    // default-button switching stays away from these buttons.
    setAutoDefault(false);
    // Connected first, so the modal result reaches the dialog before any
    // other receiver of the click runs.
    connect(this, &QAbstractButton::clicked, this, &TBitBtnXP::Click);
    focusWatch_ = connect(qApp, &QApplication::focusChanged, this, [this] {
        if (default_)
            update();
    });
    LoadThemeApi();
    if (ThemesActive())
        theme_ = OpenThemeData(nullptr, QStringLiteral("BUTTON"));
}

TBitBtnXP::~TBitBtnXP()
{
    // The widget's own destruction moves the focus; the button must not
    // repaint itself then.
    disconnect(focusWatch_);
    CloseThemeData(theme_);
}

void TBitBtnXP::Loaded()
{
    loading_ = false;
}

TBitBtnXPKind TBitBtnXP::Kind() const
{
    if (kind_ != bkCustom) {
        const TKindValues& values = KindValues(kind_);
        if (default_ != values.Default || cancel_ != values.Cancel || modalResult_ != values.ModalResult ||
            glyphModified_)
            kind_ = bkCustom;
    }
    return kind_;
}

void TBitBtnXP::SetKind(TBitBtnXPKind kind)
{
    if (kind == Kind())
        return;
    if (kind != bkCustom) {
        const TKindValues& values = KindValues(kind);
        SetDefault(values.Default);
        SetCancel(values.Cancel);
        if (!(loading_ && !text().isEmpty()))
            setText(values.Caption);
        modalResult_ = values.ModalResult;
        glyph_.SetGlyph(KindGlyph(kind));
        glyph_.SetNumGlyphs(2);
        glyphSource_ = values.GlyphPath;
        glyphModified_ = false;
    }
    kind_ = kind;
    Changed();
}

void TBitBtnXP::SetGlyph(const QImage& glyph)
{
    glyph_.SetGlyph(glyph);
    glyphModified_ = true;
    glyphSource_.clear();
    Changed();
}

void TBitBtnXP::SetGlyphSource(const QString& path)
{
    SetGlyph(path.isEmpty() ? QImage() : QImage(path));
    glyphSource_ = path;
}

void TBitBtnXP::SetNumGlyphs(int value)
{
    if (value == glyph_.NumGlyphs())
        return;
    glyph_.SetNumGlyphs(value);
    Changed();
}

void TBitBtnXP::SetLayout(TButtonLayout value)
{
    if (value == layout_)
        return;
    layout_ = value;
    Changed();
}

void TBitBtnXP::SetSpacing(int value)
{
    if (value == spacing_)
        return;
    spacing_ = value;
    Changed();
}

void TBitBtnXP::SetMargin(int value)
{
    if (value == margin_ || value < -1)
        return;
    margin_ = value;
    Changed();
}

void TBitBtnXP::SetStyle(TButtonStyle value)
{
    if (value == style_)
        return;
    style_ = value;
    update();
}

void TBitBtnXP::SetDefault(bool value)
{
    default_ = value;
    WatchWindowKeys();
    update();
}

void TBitBtnXP::SetCancel(bool value)
{
    cancel_ = value;
    WatchWindowKeys();
}

bool TBitBtnXP::ShowsDefault() const
{
    if (hasFocus())
        return true;
    if (!default_)
        return false;
    const QWidget* focused = window()->focusWidget();
    return focused == nullptr || focused == this || qobject_cast<const QPushButton*>(focused) == nullptr;
}

TBitBtnXP::THelpHandler TBitBtnXP::SetHelpHandler(THelpHandler handler)
{
    std::swap(HelpHandler(), handler);
    return handler;
}

void TBitBtnXP::WatchWindowKeys()
{
    // Every window with a bitmap button answers Enter on a focused button,
    // even when none of its buttons has a role.
    if (window() != this)
        TDialogKeys::Install(window());
}

void TBitBtnXP::Changed()
{
    updateGeometry();
    update();
}

bool TBitBtnXP::OpenHelpTopic()
{
    for (const QWidget* widget = this; widget != nullptr; widget = widget->parentWidget()) {
        const int topic = widget->property("HelpContext").toInt();
        if (topic != 0) {
            if (HelpHandler())
                HelpHandler()(topic);
            return true;
        }
    }
    return false;
}

void TBitBtnXP::Click()
{
    const TBitBtnXPKind kind = Kind();
    if (kind == bkHelp && OpenHelpTopic())
        return;
    if (kind == bkClose) {
        if (window() != this)
            window()->close();
        return;
    }
    if (modalResult_ != mrNone) {
        auto* dialog = qobject_cast<QDialog*>(window());
        if (dialog != nullptr && dialog->isModal())
            dialog->done(modalResult_);
    }
    if (OnClick)
        OnClick();
}

TGlyphState TBitBtnXP::GlyphState() const
{
    if (!isEnabled())
        return gsDisabled;
    return isDown() ? gsDown : gsUp;
}

QRect TBitBtnXP::PaintFace(QPainter& painter, bool themed, bool focused, bool showsDefault)
{
    const QRect client = rect();
    QRect r = client;
    const QPalette& colors = palette();
    const bool down = isDown();
    if (themed)
        painter.fillRect(r, colors.color(backgroundRole()));
    if ((showsDefault || focused) && !themed) {
        painter.setPen(colors.color(QPalette::Shadow));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(r.adjusted(0, 0, -1, -1));
        r.adjust(1, 1, -1, -1);
    }
    if (down) {
        if (themed) {
            DrawThemeBackground(theme_, painter, BP_PUSHBUTTON, PBS_PRESSED, r, this);
        } else {
            painter.setPen(colors.color(QPalette::Dark));
            painter.setBrush(colors.color(QPalette::Button));
            painter.drawRect(r.adjusted(0, 0, -1, -1));
        }
        r.adjust(1, 1, -1, -1);
    } else if (themed) {
        const int faceState = !isEnabled() ? PBS_DISABLED : (showsDefault || focused) ? PBS_NORMAL : 0;
        DrawThemeBackground(theme_, painter, BP_PUSHBUTTON, faceState, r, this);
    } else {
        const int frameState = DFCS_BUTTONPUSH | DFCS_ADJUSTRECT | (isEnabled() ? 0 : DFCS_INACTIVE);
        DrawFrameControl(painter, r, DFC_BUTTON, frameState, colors);
    }
    return showsDefault ? client.adjusted(1, 1, -1, -1) : r;
}

void TBitBtnXP::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    const bool themed = ThemesActive();
    // A button made while theming was off opens its theme at the first themed paint.
    if (themed && !theme_)
        theme_ = OpenThemeData(nullptr, QStringLiteral("BUTTON"));
    const bool focused = hasFocus();
    const bool showsDefault = ShowsDefault();
    QRect content = PaintFace(painter, themed, focused, showsDefault);

    painter.setFont(font());
    if (isDown())
        content.translate(1, 1);
    lastLayout_ = glyph_.PaintContent(painter, content, QPoint(0, 0), text(), layout_, margin_, spacing_, GlyphState(),
                                      layoutDirection() == Qt::RightToLeft, palette());

    if (showsDefault && focused) {
        painter.setPen(QPen(palette().color(QPalette::ButtonText), 1, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect().adjusted(4, 4, -5, -5));
    }
}

void TBitBtnXP::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::PaletteChange)
        glyph_.DropImages();
    if (event->type() == QEvent::FontChange)
        updateGeometry();
    if (event->type() == QEvent::EnabledChange || event->type() == QEvent::FontChange ||
        event->type() == QEvent::PaletteChange)
        update();
    QPushButton::changeEvent(event);
}

void TBitBtnXP::showEvent(QShowEvent* event)
{
    // Build the first picture ahead of the first paint.
    glyph_.BuildStateImage(isEnabled() ? gsUp : gsDisabled, palette());
    WatchWindowKeys();
    QPushButton::showEvent(event);
}

bool TBitBtnXP::event(QEvent* event)
{
    if (event->type() == QEvent::ParentChange)
        WatchWindowKeys();
    return QPushButton::event(event);
}

QSize TBitBtnXP::sizeHint() const
{
    ensurePolished();
    const QSize glyph = glyph_.CellSize();
    const QSize caption = text().isEmpty() ? QSize(0, 0) : fontMetrics().size(kCaptionTextFlags, text());
    const int gap = glyph.width() > 0 && caption.width() > 0 ? std::max(spacing_, 0) : 0;
    QSize content;
    if (layout_ == blGlyphLeft || layout_ == blGlyphRight)
        content = QSize(glyph.width() + gap + caption.width(), std::max(glyph.height(), caption.height()));
    else
        content = QSize(std::max(glyph.width(), caption.width()), glyph.height() + gap + caption.height());
    return QSize(std::max(content.width() + kContentPaddingX, kMinimumWidth),
                 std::max(content.height() + kContentPaddingY, kMinimumHeight));
}

QSize TBitBtnXP::minimumSizeHint() const
{
    return sizeHint();
}
