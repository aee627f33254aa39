#include "app/forms/TMainForm.h"

#include "app/forms/FormSupport.h"
#include "app/forms/ReadableSize.h"
#include "app/forms/TAboutBox.h"
#include "app/work/TEngineWorker.h"
#include "app/work/TModalInputGuard.h"
#include "engine/join/TJoinRequest.h"
#include "engine/split/PieceSizes.h"
#include "engine/split/TSplitOperation.h"
#include "framework/MessageBox.h"
#include "framework/TCursorGuard.h"
#include "shell/link/TPzShellLink.h"
#include "shell/navigator/functions/ShellIDLists.h"
#include "shell/navigator/functions/StandardFolderLists.h"
#include "shell/navigator/TShellNavigator.h"
#include "shell/panes/list/TPzShellList.h"
#include "shell/panes/tree/TPzShellTree.h"
#include "ui_TMainForm.h"

#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QTimer>

#include <chrono>
#include <exception>
#include <optional>

#include <sys/stat.h>

namespace {

const QString kFormFontFamily = QStringLiteral("MS Sans Serif");
constexpr int kFormFontHeight = 11;  // 8 points at 96 dpi
constexpr int kTabImageSize = 24;

constexpr long double kMinPieceSize = 1;
constexpr long double kMaxPieceSize = 1E22L;
constexpr long double kDefaultPieceSize = 1457664;  // one 3.5-inch floppy disk

constexpr int kTreeWidth = 257;  // room for a few levels of folder names beside the list
constexpr int kTreeIndent = 19;  // the tree's indent per level, as on the form
const QString kErrorCaption = QStringLiteral("Fehler");
// Work that ends sooner shows no progress window, which would only flash.
constexpr std::chrono::milliseconds kProgressWindowDelay{500};
// A split into more pieces asks first: a typo in the size must not flood a folder.
constexpr std::int64_t kManyPieces = 100000;
// The drop-down arrow of the size button, drawn black on white (the glyph's transparent colour).
constexpr int kArrowGlyphWidth = 7;
constexpr int kArrowGlyphHeight = 4;
// How often the window looks whether the progress window is due.
constexpr std::chrono::milliseconds kProgressWindowCheck{100};  // a fifth of the delay: opens near its time

TMessageIcon MessageIconOf(TBoxIcon icon)
{
    switch (icon) {
    case TBoxIcon::Error: return TMessageIcon::Error;
    case TBoxIcon::Information: return TMessageIcon::Information;
    case TBoxIcon::Question: return TMessageIcon::Question;
    case TBoxIcon::Warning: return TMessageIcon::Warning;
    }
    return TMessageIcon::None;
}

// The engine's messages as the program's message boxes: OK, or Ja and Nein for a question.
TBoxAnswer ShowEngineMessage(QWidget* owner, TBoxIcon icon, const std::string& caption, const std::string& text)
{
    TMessageRequest request;
    request.Owner = owner;
    request.Caption = QString::fromStdString(caption);
    request.Text = QString::fromStdString(text);
    request.Icon = MessageIconOf(icon);
    // The box is answered with the usual pointer, while the work around it shows the hourglass.
    const TCursorGuard pointer(Qt::ArrowCursor);
    if (icon != TBoxIcon::Question) {
        ShowMessageBox(request);
        return TBoxAnswer::Ok;
    }
    request.Buttons = {QStringLiteral("Ja"), QStringLiteral("Nein")};
    request.EscapeButton = 1;
    return ShowMessageBox(request).Button == 0 ? TBoxAnswer::Yes : TBoxAnswer::No;
}

QImage DropDownGlyph()
{
    QImage glyph(kArrowGlyphWidth, kArrowGlyphHeight + 2, QImage::Format_RGB32);
    glyph.fill(Qt::white);
    for (int row = 0; row < kArrowGlyphHeight; ++row) {
        for (int x = row; x < kArrowGlyphWidth - row; ++x)
            glyph.setPixel(x, row + 1, qRgb(0, 0, 0));
    }
    return glyph;
}

}  // namespace

TMainForm::TMainForm(QWidget* parent)
    : QMainWindow(parent)
    , ui_(std::make_unique<Ui::TMainForm>())
    , imageList1_(kTabImageSize, kTabImageSize)
    , progressWindowDelay_(kProgressWindowDelay)
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
    SetUpPanes();
    SetUpSizePresets();
    SetAccessibleNames();
}

void TMainForm::SetUpSizePresets()
{
    auto* menu = new QMenu(ui_->SizePresetBtn);
    menu->setObjectName(QStringLiteral("SizePresetMenu"));
    for (const TPieceSizePreset& preset : PieceSizePresets()) {
        const std::int64_t bytes = preset.Bytes;
        menu->addAction(QString::fromUtf8(preset.Caption),
                        [this, bytes] { ui_->SizeEd->setText(QString::number(bytes)); });
    }
    menu->addSeparator();
    menu->addAction(QStringLiteral("In gleiche Teile…"), [this] { AskEqualPieces(); });
    ui_->SizePresetBtn->SetGlyph(DropDownGlyph());
    ui_->SizePresetBtn->setMenu(menu);
    ui_->SizePresetBtn->Loaded();
    connect(ui_->SizeEd, &QLineEdit::textChanged, this, [this] { ShowSizeUnits(); });
    ShowSizeUnits();
}

void TMainForm::ShowSizeUnits()
{
    const std::int64_t size = PieceSize();
    ui_->SizeUnitsLbl->setText(size == 0 ? QString() : QStringLiteral("= ") + ReadableSize(std::uint64_t(size)));
}

void TMainForm::AskEqualPieces()
{
    TMessageRequest request;
    request.Owner = this;
    request.Caption = QStringLiteral("In gleiche Teile");
    request.Icon = TMessageIcon::Error;
    const std::string path = SelectedFilePath(*ui_->PzShellList1);
    struct stat status
    {};
    if (path.empty() || ::stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) {
        request.Text = QStringLiteral("Bitte wählen Sie zuerst in der Liste die Datei, die in gleiche Teile "
                                      "aufgeteilt werden soll.");
        ShowMessageBox(request);
        return;
    }
    const QString name = QFile::decodeName(QByteArray::fromStdString(path));
    const auto length = static_cast<std::uint64_t>(status.st_size);
    TMessageRequest ask;
    ask.Owner = this;
    ask.Caption = request.Caption;
    ask.Style = TMessageStyle::Input;
    ask.Text =
        QStringLiteral("In wie viele Teile soll die Datei %1 (%2) aufgeteilt werden?").arg(name, ReadableSize(length));
    ask.Input = QStringLiteral("2");
    ask.EscapeButton = 1;
    const TMessageAnswer answer = ShowMessageBox(ask);
    if (answer.Button != 0)
        return;
    bool ok = false;
    const qlonglong pieces = answer.Input.trimmed().toLongLong(&ok, 10);
    const std::optional<std::int64_t> size = ok ? EqualPieceSize(length, pieces) : std::nullopt;
    if (!ok || pieces < 1) {
        request.Text = QStringLiteral("„%1“ ist keine Anzahl von Teilen. Bitte geben Sie eine ganze Zahl ab 1 ein.")
                           .arg(answer.Input);
        ShowMessageBox(request);
        return;
    }
    if (!size) {
        request.Text = QStringLiteral("Die Datei %1 (%2) lässt sich nicht in genau %3 Teile aufteilen.")
                           .arg(name, ReadableSize(length))
                           .arg(pieces);
        ShowMessageBox(request);
        return;
    }
    ui_->SizeEd->setText(QString::number(*size));
}

void TMainForm::SetUpPanes()
{
    pzShellLink1_ = new TPzShellLink(this);
    pzShellLink1_->setObjectName(QStringLiteral("PzShellLink1"));
    // The panes register in this order, which is the order the link passes a change on.
    TPzShellTree* trees[] = {ui_->PzShellTree1, ui_->PzShellTree2};
    TPzShellList* lists[] = {ui_->PzShellList1, ui_->PzShellList2};
    QSplitter* splitters[] = {ui_->Splitter1, ui_->Splitter2};
    for (int tab = 0; tab < 2; ++tab) {
        TPzShellTree* tree = trees[tab];
        tree->SetSpecialFolder(SF_DRIVES);
        tree->SetFilter(QStringLiteral("*"));
        tree->SetIndent(kTreeIndent);
        tree->SetShellLink(pzShellLink1_);
        TPzShellList* list = lists[tab];
        list->SetViewStyle(vsReport);
        list->SetFilter(QStringLiteral("*"));
        list->SetShellLink(pzShellLink1_);
        // The tree keeps its width when the window is resized; the list takes the rest.
        splitters[tab]->setStretchFactor(0, 0);
        splitters[tab]->setStretchFactor(1, 1);
        splitters[tab]->setSizes({kTreeWidth, width() - kTreeWidth});
    }
    // The panes follow SizeEd in the order the form makes them; the log comes last.
    QWidget* chain[] = {ui_->SizeEd,       ui_->SizePresetBtn, ui_->PzShellTree1, ui_->PzShellList1,
                        ui_->PzShellTree2, ui_->PzShellList2,  ui_->Memo1};
    for (std::size_t i = 1; i < std::size(chain); ++i)
        QWidget::setTabOrder(chain[i - 1], chain[i]);
    ui_->PzShellList1->OnDblClick = [this](TListView&) { PzShellList1DblClick(); };
    ui_->PzShellList2->OnDblClick = [this](TListView&) { PzShellList2DblClick(); };
    ui_->PzShellList1->OnKeyPress = [this](TListView&, QChar& key) { PzShellList1KeyPress(key); };
    ui_->PzShellList2->OnKeyPress = [this](TListView&, QChar& key) { PzShellList2KeyPress(key); };
    for (QWidget* pane : std::initializer_list<QWidget*>{trees[0], lists[0], trees[1], lists[1]})
        pane->installEventFilter(this);
    // Loading ends in creation order: each tree selects the computer folder and
    // tells the link, so both lists show it.
    for (int tab = 0; tab < 2; ++tab) {
        trees[tab]->Loaded();
        lists[tab]->Loaded();
    }
}

void TMainForm::SetAccessibleNames()
{
    ui_->PageControl1->setAccessibleName(QStringLiteral("Registerkarten"));
    ui_->TabSheet1->setAccessibleName(QStringLiteral("Datei teilen"));
    ui_->TabSheet2->setAccessibleName(QStringLiteral("Datei zusammenfügen"));
    ui_->AboutBtn->setAccessibleName(ui_->AboutBtn->text());
    ui_->EndeprgBtn->setAccessibleName(ui_->EndeprgBtn->text());
    ui_->SizeEd->setAccessibleName(QStringLiteral("Größe der einzelnen Dateien"));
    ui_->SizePresetBtn->setAccessibleName(QStringLiteral("Größe wählen"));
    ui_->SizeUnitsLbl->setAccessibleName(QStringLiteral("Größe in Einheiten"));
    ui_->Label1->setBuddy(ui_->SizeEd);
    ui_->Memo1->setAccessibleName(QStringLiteral("Protokoll"));
    ui_->PzShellTree1->setAccessibleName(QStringLiteral("Ordner zum Teilen"));
    ui_->PzShellList1->setAccessibleName(QStringLiteral("Dateien zum Teilen"));
    ui_->PzShellTree2->setAccessibleName(QStringLiteral("Ordner zum Zusammenfügen"));
    ui_->PzShellList2->setAccessibleName(QStringLiteral("Dateien zum Zusammenfügen"));
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

void TMainForm::PzShellList1DblClick()
{
    ActivateEntry(*ui_->PzShellList1, &TMainForm::SplitFile);
}

void TMainForm::PzShellList2DblClick()
{
    ActivateEntry(*ui_->PzShellList2, &TMainForm::CombineFile);
}

void TMainForm::PzShellList1KeyPress(QChar& key)
{
    ListKeyPress(*ui_->PzShellList1, key, &TMainForm::PzShellList1DblClick);
}

void TMainForm::PzShellList2KeyPress(QChar& key)
{
    ListKeyPress(*ui_->PzShellList2, key, &TMainForm::PzShellList2DblClick);
}

void TMainForm::ListKeyPress(TPzShellList& list, QChar& key, void (TMainForm::*activate)())
{
    if (list.IsEditing() || key != QLatin1Char('\r'))
        return;
    (this->*activate)();
    key = QChar();
}

void TMainForm::ActivateEntry(TPzShellList& list, void (TMainForm::*operation)(const std::string&))
{
    if (list.SelCount() == 0)
        return;
    const TPzShellListItem* entry = ShellItemOf(list.Selected());
    if (!entry)
        return;
    TShellNavigator& browser = list.Browser();
    browser.SetObjectIDList(entry->Item());
    if (entry->IsParentEntry || browser.IsFolder()) {
        // Opening a folder reports its own failure (the browser's message, the last error).
        static_cast<void>(list.ExecuteCommand(QStringLiteral("default")));
        return;
    }
    const std::string path = SelectedFilePath(list);
    if (path.empty()) {
        TMessageRequest request;
        request.Owner = this;
        request.Caption = kErrorCaption;
        request.Text = QStringLiteral("\u201E%1\u201C liegt in keinem Ordner auf dem Datenträger und kann hier weder "
                                      "geteilt noch zusammengefügt werden.")
                           .arg(browser.GetDisplayName());
        request.Icon = TMessageIcon::Error;
        ShowMessageBox(request);
        return;
    }
    (this->*operation)(path);
}

std::string TMainForm::SelectedFilePath(TPzShellList& list)
{
    if (list.SelCount() == 0)
        return {};
    const TPzShellListItem* entry = ShellItemOf(list.Selected());
    if (!entry || entry->IsParentEntry)
        return {};
    TShellNavigator& browser = list.Browser();
    browser.SetObjectIDList(entry->Item());
    if (browser.IsFolder())
        return {};
    // The path is built from the file names' own bytes, so that no name is lost
    // to a conversion. The entry is the list's: so is its folder, whatever the tree shows.
    std::string folder = browser.FolderPath();
    if (folder.empty() && list.SpecialFolder() == SF_DESKTOP)
        folder = GetSpecialFolderPath(SF_DESKTOPDIRECTORY);
    if (!folder.empty() && folder.back() != '/')
        folder += '/';
    // An entry of a folder that is none on disk (the trash) has no path: its
    // bare name would be taken relative to the working directory.
    if (folder.empty() || folder.front() != '/')
        return {};
    return folder + browser.ObjectNameBytes();
}

std::int64_t TMainForm::PieceSize() const
{
    bool ok = false;
    const qlonglong size = ui_->SizeEd->text().trimmed().toLongLong(&ok, 10);
    return ok && size >= 1 ? size : 0;
}

void TMainForm::SplitFile(const std::string& sourcePath)
{
    const std::int64_t pieceSize = PieceSize();
    if (pieceSize == 0) {
        // Unreadable text would read as the lower bound and cut the file into
        // one-byte pieces: nothing is written.
        TMessageRequest request;
        request.Owner = this;
        request.Caption = kErrorCaption;
        request.Text = QStringLiteral("Die Größe der einzelnen Dateien ist ungültig: \"%1\". "
                                      "Bitte geben Sie eine ganze Zahl ab 1 ein.")
                           .arg(ui_->SizeEd->text());
        request.Icon = TMessageIcon::Error;
        ShowMessageBox(request);
        return;
    }
    struct stat status
    {};
    if (::stat(sourcePath.c_str(), &status) == 0 && S_ISREG(status.st_mode)) {
        const std::int64_t pieces = PieceCountOf(static_cast<std::uint64_t>(status.st_size), pieceSize);
        if (pieces > kManyPieces) {
            TMessageRequest request;
            request.Owner = this;
            request.Caption = QStringLiteral("Splitten");
            request.Text = QStringLiteral("Die Datei würde in %1 Teile aufgeteilt. Trotzdem teilen?").arg(pieces);
            request.Icon = TMessageIcon::Question;
            request.Buttons = {QStringLiteral("Ja"), QStringLiteral("Nein")};
            request.DefaultButton = 1;
            request.EscapeButton = 1;
            if (ShowMessageBox(request).Button != 0)
                return;
        }
    }
    RunEngineWork(
        TProgressWindow::TKind::Split, sourcePath, [this] { ui_->PzShellList1->RefreshList(); },
        [&](const TEngineHost& host) { TSplitOperation(host).SplitFile(sourcePath, pieceSize); });
}

void TMainForm::CombineFile(const std::string& pickedPath)
{
    const auto parsed = TJoinRequest::ParsePickedPath(pickedPath);
    // The join tab's list follows the new file through its change notification.
    RunEngineWork(
        TProgressWindow::TKind::Join, parsed ? parsed->BasePath : pickedPath, [] {},
        [&](const TEngineHost& host) { TJoinRequest(host).CombineFile(pickedPath); });
}

void TMainForm::RunEngineWork(TProgressWindow::TKind kind, const std::string& filePath, std::function<void()> refresh,
                              const std::function<void(const TEngineHost& host)>& work)
{
    if (worker_)
        return;
    const TCursorGuard hourglass;
    std::unique_ptr<TCursorGuard> pointer;  // while the progress window is up
    std::unique_ptr<TProgressWindow> progress;
    QTimer check;
    bool ended = false;  // the work has said its last: no progress window any more
    TEngineHost host;
    host.Log = [this](const std::string& line) { ui_->Memo1->appendPlainText(QString::fromStdString(line)); };
    // A question stands over the progress window when it is up. Any other box
    // is the work's last word (its outcome or its failure): the progress
    // window, whose "Abbrechen" could stop nothing any more, closes first.
    host.ShowMessage = [&, this](TBoxIcon icon, const std::string& caption, const std::string& text) {
        if (icon != TBoxIcon::Question) {
            ended = true;
            check.stop();
            progress.reset();
            pointer.reset();
        }
        return ShowEngineMessage(progress ? static_cast<QWidget*>(progress.get()) : this, icon, caption, text);
    };
    host.RefreshList = std::move(refresh);
    TEngineWorker worker(host);
    worker_ = &worker;

    const auto started = std::chrono::steady_clock::now();
    TProgressReport last;
    // Not while a message box waits for an answer: the box stays the one thing to answer.
    const auto showProgress = [&] {
        if (ended || progress || worker.InUiCall() || std::chrono::steady_clock::now() - started < progressWindowDelay_)
            return;
        check.stop();
        progress = std::make_unique<TProgressWindow>(this, kind, filePath);
        progress->OnStop = [&worker] { worker.RequestStop(); };
        progress->ShowReport(last);
        pointer = std::make_unique<TCursorGuard>(Qt::ArrowCursor);
        progress->show();
    };
    worker.OnProgress = [&](const TProgressReport& report) {
        last = report;
        showProgress();
        if (progress)
            progress->ShowReport(report);
    };
    check.callOnTimeout(showProgress);
    check.start(kProgressWindowCheck);
    {
        const TModalInputGuard modal(this, [&] {
            if (progress)
                progress->reject();
            else
                worker.RequestStop();
        });
        worker.Start(work);
        worker.WaitForEnd();
    }
    worker_ = nullptr;
    if (std::exchange(closeAfterWork_, false))
        QTimer::singleShot(0, this, &QWidget::close);
}

void TMainForm::ShowStartFile(const QString& path)
{
    const QFileInfo file(path);
    const bool isPiece = TJoinRequest::ParsePickedPath(path.toStdString()).has_value();
    TPzShellTree* tree = isPiece ? ui_->PzShellTree2 : ui_->PzShellTree1;
    TPzShellList* list = isPiece ? ui_->PzShellList2 : ui_->PzShellList1;
    const int page = isPiece ? 1 : 0;
    // The list of a tab not shown takes the folder before it is shown: shown,
    // it would first list the folder it had from the link, only to leave it.
    if (isVisible() && ui_->PageControl1->currentIndex() != page)
        if (const TItemIdListPtr folder = PathToIDList(nullptr, QFile::encodeName(file.absolutePath()).toStdString()))
            list->ChangeFolder(folder.get());
    ui_->PageControl1->setCurrentIndex(page);
    tree->SetSelectedFolder(file.absolutePath());
    // A tree that still reads a folder on the way tells the list later: the
    // list opens the folder itself, and the name waits for its listing.
    try {
        list->SetPath(file.absolutePath());
    } catch (const std::exception&) {
        // A folder the list cannot enter is left to the tree, which showed what it could reach.
    }
    list->SetSelectedNames({file.fileName()});
    if (TListItem* selected = list->Selected())
        list->SetItemFocused(selected);
    list->setFocus();
}

void TMainForm::ShowStartFolder(const QString& path)
{
    ui_->PageControl1->setCurrentIndex(0);
    ui_->PzShellTree1->SetSelectedFolder(path);
    ui_->PzShellList1->setFocus();
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const auto* list = qobject_cast<TPzShellList*>(watched);
        const auto* tree = qobject_cast<TPzShellTree*>(watched);
        const bool editing = (list && list->IsEditing()) || (tree && tree->IsEditing());
        if (key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier && !editing) {
            ui_->EndeprgBtn->click();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void TMainForm::closeEvent(QCloseEvent* event)
{
    if (!worker_) {
        QMainWindow::closeEvent(event);
        return;
    }
    event->ignore();
    if (closeAfterWork_)
        return;
    TMessageRequest request;
    request.Owner = this;
    request.Caption = QStringLiteral("Parzello");
    request.Text = QStringLiteral("Eine Datei wird gerade geteilt oder zusammengefügt. "
                                  "Soll die Arbeit abgebrochen und das Programm beendet werden?");
    request.Icon = TMessageIcon::Question;
    request.Buttons = {QStringLiteral("Ja"), QStringLiteral("Nein")};
    request.EscapeButton = 1;
    const TCursorGuard pointer(Qt::ArrowCursor);
    if (ShowMessageBox(request).Button != 0)
        return;
    if (!worker_) {
        QTimer::singleShot(0, this, &QWidget::close);
        return;
    }
    closeAfterWork_ = true;
    worker_->RequestStop();
}

void TMainForm::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!std::exchange(shownBefore_, true))
        CentreOnScreen(this);
}
