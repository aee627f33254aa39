#pragma once

#include "controls/buttons/ButtonTypes.h"
#include "controls/buttons/TButtonGlyph.h"
#include "controls/buttons/ThemeApi.h"

#include <QPushButton>

#include <functional>

// The push button of the program's forms: a glyph beside the caption,
// predefined kinds that set caption, glyph, roles and modal result at once,
// and a themed face (Fusion) or, with theming off, the classic face.
//
// Properties a form (.ui) sets:
//   kind          TBitBtnXPKind  bkCustom  a predefined kind; reads back bkCustom once
//                                          a role, the modal result or the glyph differs from it
//   glyph         resource path  empty     the glyph bitmap, all cells side by side
//   numGlyphs     1..4           1         cells in the glyph: up, disabled, down, exclusive
//   layout        TButtonLayout  blGlyphLeft
//   spacing       int            4         pixels between glyph and caption; -1 spreads evenly
//   margin        int            -1        pixels from the edge to the group; -1 centres
//   buttonStyle   TButtonStyle   bsAutoDetect  kept for forms, no effect on the drawing
//   default       bool           false     Enter on the window clicks it
//   cancel        bool           false     Esc on the window clicks it
//   modalResult   int            0         a click closes the modal QDialog with this result
// A form sets glyph, numGlyphs, default, cancel and modalResult only for bkCustom
// buttons (a kind sets them itself).
//
// The form calls Loaded() after setupUi: until then a caption the form has set
// survives a kind assigned after it.
//
// Clicks: connect OnClick, the button's own click event. Qt's clicked() is
// emitted for every click; OnClick is not raised by a bkClose button (it
// closes its window) nor by a bkHelp button inside a widget with a
// "HelpContext" property (the help handler gets that topic).
class TBitBtnXP : public QPushButton
{
    Q_OBJECT
    Q_PROPERTY(TButtonTypes::TBitBtnXPKind kind READ Kind WRITE SetKind)
    Q_PROPERTY(QString glyph READ GlyphSource WRITE SetGlyphSource)
    Q_PROPERTY(int numGlyphs READ NumGlyphs WRITE SetNumGlyphs)
    Q_PROPERTY(TButtonTypes::TButtonLayout layout READ Layout WRITE SetLayout)
    Q_PROPERTY(int spacing READ Spacing WRITE SetSpacing)
    Q_PROPERTY(int margin READ Margin WRITE SetMargin)
    Q_PROPERTY(TButtonTypes::TButtonStyle buttonStyle READ Style WRITE SetStyle)
    Q_PROPERTY(bool default READ Default WRITE SetDefault)
    Q_PROPERTY(bool cancel READ Cancel WRITE SetCancel)
    Q_PROPERTY(int modalResult READ ModalResult WRITE SetModalResult)

public:
    using THelpHandler = std::function<void(int helpContext)>;

    explicit TBitBtnXP(QWidget* parent = nullptr);
    ~TBitBtnXP() override;

    // The end of loading from a form.
    void Loaded();

    TBitBtnXPKind Kind() const;
    void SetKind(TBitBtnXPKind kind);

    const QImage& Glyph() const { return glyph_.SourceBitmap(); }
    void SetGlyph(const QImage& glyph);
    QString GlyphSource() const { return glyphSource_; }
    // Loads the glyph from a file or resource path; an unreadable path leaves
    // the button without a glyph.
    void SetGlyphSource(const QString& path);

    int NumGlyphs() const { return glyph_.NumGlyphs(); }
    void SetNumGlyphs(int value);
    TButtonLayout Layout() const { return layout_; }
    void SetLayout(TButtonLayout value);
    int Spacing() const { return spacing_; }
    void SetSpacing(int value);
    int Margin() const { return margin_; }
    // Values below -1 are ignored.
    void SetMargin(int value);
    TButtonStyle Style() const { return style_; }
    void SetStyle(TButtonStyle value);

    bool Default() const { return default_; }
    void SetDefault(bool value);
    bool Cancel() const { return cancel_; }
    void SetCancel(bool value);
    int ModalResult() const { return modalResult_; }
    void SetModalResult(int value) { modalResult_ = value; }

    // The button shows the default look: it has the focus, or it is the
    // default button and no other push button of its window has the focus.
    bool ShowsDefault() const;

    // The glyph painter, for tests and for forms that inspect the pictures.
    const TButtonGlyph& GlyphPainter() const { return glyph_; }
    // Where the last paint put glyph and caption.
    const TGlyphLayout& LastLayout() const { return lastLayout_; }

    // Receives help topics of bkHelp buttons; returns the previous handler.
    static THelpHandler SetHelpHandler(THelpHandler handler);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    std::function<void()> OnClick;

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool event(QEvent* event) override;

private:
    // Draws the face (themed or classic) and returns the rectangle for the content.
    QRect PaintFace(QPainter& painter, bool themed, bool focused, bool showsDefault);
    void Click();
    [[nodiscard]] bool OpenHelpTopic();
    void WatchWindowKeys();
    void Changed();
    TGlyphState GlyphState() const;

    TButtonGlyph glyph_;
    HTHEME theme_;
    TButtonStyle style_ = bsAutoDetect;
    mutable TBitBtnXPKind kind_ = bkCustom;
    TButtonLayout layout_ = blGlyphLeft;
    int spacing_ = 4;
    int margin_ = -1;
    bool default_ = false;
    bool cancel_ = false;
    int modalResult_ = mrNone;
    bool glyphModified_ = false;
    bool loading_ = true;
    QString glyphSource_;
    TGlyphLayout lastLayout_;
    QMetaObject::Connection focusWatch_;
};
