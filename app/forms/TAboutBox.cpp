#include "app/forms/TAboutBox.h"

#include "app/forms/AddressOpener.h"
#include "app/forms/FormSupport.h"
#include "app/forms/TJpegDecoder.h"
#include "ui_TAboutBox.h"

#include <QDate>
#include <QFile>
#include <QPalette>

namespace {

const QString kFormFontFamily = QStringLiteral("MS Sans Serif");
constexpr int kFormFontHeight = 11;  // 8 points at 96 dpi
const QString kProductFontFamily = QStringLiteral("Arial Narrow");
constexpr int kProductFontHeight = 24;
const QString kYearPlaceholder = QStringLiteral("XXXX");
const QColor kPanelColour(240, 202, 166);
const QString kPictureResource = QStringLiteral(":/parzello/images/about.jpg");
const QString kWebGlyphResource = QStringLiteral(":/parzello/images/webglyph.png");

}  // namespace

TAboutBox::TAboutBox(QWidget* parent)
    : QDialog(parent)
    , ui_(std::make_unique<Ui::TAboutBox>())
{
    InitAppResources();
    ui_->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(size());
    ApplyLook();
    LoadPicture();
    LoadWebGlyph();

    // The OK kind makes BitBtn1 the default button closing the box with the OK result.
    ui_->BitBtn1->SetKind(bkOK);
    ui_->BitBtn1->setFocus();
    ui_->BitBtnXP1->OnClick = [this] { BitBtnXP1Click(); };
    ui_->BitBtnXP1->Loaded();
    ui_->BitBtn1->Loaded();
    FormCreate();
}

TAboutBox::~TAboutBox()
{
    ReleaseFocus(this);
}

void TAboutBox::ApplyLook()
{
    SetFormFont(this, kFormFontFamily, kFormFontHeight);
    SetFormFont(ui_->ProductName, kProductFontFamily, kProductFontHeight, true);
    QPalette productPalette = ui_->ProductName->palette();
    productPalette.setColor(QPalette::WindowText, Qt::black);
    ui_->ProductName->setPalette(productPalette);
    QFont bold = ui_->Label1->font();
    bold.setBold(true);
    ui_->Label1->setFont(bold);

    QPalette panelPalette = ui_->Panel1->palette();
    panelPalette.setColor(QPalette::Window, kPanelColour);
    ui_->Panel1->setPalette(panelPalette);

    // Labels without a fixed size take the size their caption needs.
    for (QLabel* label : {ui_->ProductName, ui_->Copyright, ui_->Label1, ui_->Label2})
        label->adjustSize();
}

void TAboutBox::LoadPicture()
{
    QFile file(kPictureResource);
    if (!file.open(QIODevice::ReadOnly)) {
        pictureError_ = QStringLiteral("Das Bild %1 fehlt.").arg(kPictureResource);
        return;
    }
    TJpegDecoder decoder(file.readAll());
    const QImage picture = decoder.Decode();
    if (picture.isNull()) {
        pictureError_ = decoder.ErrorText();
        return;
    }
    ui_->ProgramIcon->setPixmap(QPixmap::fromImage(picture));
}

void TAboutBox::LoadWebGlyph()
{
    // Two cells, normal and disabled, on the olive transparent colour.
    ui_->BitBtnXP1->SetGlyph(QImage(kWebGlyphResource));
    ui_->BitBtnXP1->SetNumGlyphs(2);
}

void TAboutBox::FormCreate()
{
    ui_->Copyright->setText(InsertYear(ui_->Copyright->text(), QDate::currentDate().year()));
    ui_->Copyright->adjustSize();
}

void TAboutBox::BitBtnXP1Click()
{
    OpenAddress(ui_->BitBtnXP1->text());
}

QString TAboutBox::InsertYear(const QString& caption, int year)
{
    const qsizetype at = caption.indexOf(kYearPlaceholder);
    if (at < 0)
        return caption;
    QString result = caption;
    result.replace(at, kYearPlaceholder.size(), QString::number(year));
    return result;
}

void TAboutBox::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!std::exchange(shownBefore_, true))
        CentreOnScreen(this);
}
