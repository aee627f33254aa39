#include "app/TMainForm.h"

#include "app/FormSupport.h"
#include "app/TAboutBox.h"
#include "ui_TMainForm.h"

#include <QKeyEvent>
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

    ui_->AboutBtn->SetKind(bkHelp);
    ui_->EndeprgBtn->SetKind(bkCancel);
    ui_->SizeEd->SetMinValue(kMinPieceSize);
    ui_->SizeEd->SetMaxValue(kMaxPieceSize);
    ui_->SizeEd->SetValue(kDefaultPieceSize);
    LoadTabImages();

    connect(ui_->AboutBtn, &QPushButton::clicked, this, &TMainForm::AboutBtnClick);
    connect(ui_->EndeprgBtn, &QPushButton::clicked, this, &TMainForm::EndeprgBtnClick);
}

TMainForm::~TMainForm() = default;

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

void TMainForm::keyPressEvent(QKeyEvent* event)
{
    // A key the focused control did not use comes up to the window. Esc
    // without Shift, Ctrl or Alt clicks the cancel button, EndeprgBtn.
    const Qt::KeyboardModifiers held = event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    if (event->key() == Qt::Key_Escape && held == Qt::NoModifier && ui_->EndeprgBtn->isEnabled()
        && ui_->EndeprgBtn->isVisible()) {
        ui_->EndeprgBtn->click();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

void TMainForm::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!std::exchange(shownBefore_, true))
        CentreOnScreen(this);
}
