#include "app/TMainForm.h"

#include "app/FormSupport.h"
#include "app/TAboutBox.h"
#include "ui_TMainForm.h"

#include <QLabel>

namespace {

const QString kFormFontFamily = QStringLiteral("MS Sans Serif");
constexpr int kFormFontHeight = 11;  // 8 points at 96 dpi
constexpr int kTabImageSize = 24;

constexpr long double kMinPieceSize = 1;
constexpr long double kMaxPieceSize = 1E22L;
constexpr long double kDefaultPieceSize = 1457664;  // one 3.5-inch floppy disk

} // namespace

TMainForm::TMainForm(QWidget* parent)
    : QMainWindow(parent)
    , ui_(std::make_unique<Ui::TMainForm>())
    , imageList1_(kTabImageSize, kTabImageSize)
{
    InitAppResources();
    ui_->setupUi(this);
    ApplyFonts();

    // EndeprgBtn's kind makes it the window's cancel button: Esc, when the
    // focused control does not use the key, clicks it like "Beenden".
    ui_->AboutBtn->SetKind(bkHelp);
    ui_->EndeprgBtn->SetKind(bkCancel);
    ui_->SizeEd->SetMinValue(kMinPieceSize);
    ui_->SizeEd->SetMaxValue(kMaxPieceSize);
    ui_->SizeEd->SetValue(kDefaultPieceSize);
    LoadTabImages();
    ui_->AboutBtn->OnClick = [this] { AboutBtnClick(); };
    ui_->EndeprgBtn->OnClick = [this] { EndeprgBtnClick(); };
    ui_->AboutBtn->Loaded();
    ui_->EndeprgBtn->Loaded();
}

TMainForm::~TMainForm()
{
    ReleaseFocus(this);
}

void TMainForm::ApplyFonts()
{
    SetFormFont(this, kFormFontFamily, kFormFontHeight);
    // Labels take the width their caption needs, as they do on the form.
    for (QLabel* label : {ui_->Label1, ui_->Label2, ui_->Label4})
        label->adjustSize();
}

void TMainForm::LoadTabImages()
{
    imageList1_.Add(QPixmap(QStringLiteral(":/parzello/images/scissors.png")));
    imageList1_.Add(QPixmap(QStringLiteral(":/parzello/images/gluestick.png")));
    for (int tab = 0; tab < ui_->PageControl1->count(); ++tab)
        ui_->PageControl1->setTabIcon(tab, QIcon(imageList1_.Pixmap(tab)));
}

void TMainForm::AboutBtnClick()
{
    if (aboutBox_)
        aboutBox_->exec();
}

void TMainForm::EndeprgBtnClick()
{
    close();
}

void TMainForm::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!std::exchange(shownBefore_, true))
        CentreOnScreen(this);
}
