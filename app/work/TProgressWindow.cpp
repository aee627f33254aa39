#include "app/work/TProgressWindow.h"

#include "engine/pieces/PieceNaming.h"
#include "framework/PlainText.h"

#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace {

constexpr int kBarSteps = 1000;     // per mille: fine enough for any width the bar takes
constexpr int kMinimumWidth = 420;  // room for a long file name and the figures beside it
// about 50 characters; longer names are shortened in the middle, so the window stays small
constexpr int kMaximumNameWidth = 360;
// The speed needs some run time before it says anything reliable.
constexpr std::chrono::milliseconds kSpeedSettles{500};

QString FileNameOf(const std::string& path)
{
    return QFileInfo(QFile::decodeName(QByteArray::fromStdString(path))).fileName();
}

QString Bytes(std::uint64_t bytes)
{
    return QLocale().formattedDataSize(static_cast<qint64>(bytes), 1, QLocale::DataSizeTraditionalFormat);
}

// "1:05" or "1:02:05".
QString Duration(std::chrono::seconds duration)
{
    const long long seconds = duration.count();
    const QLatin1Char zero('0');
    if (seconds >= 3600)
        return QStringLiteral("%1:%2:%3")
            .arg(seconds / 3600)
            .arg(seconds / 60 % 60, 2, 10, zero)
            .arg(seconds % 60, 2, 10, zero);
    return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, zero);
}

// Long names keep their start and their end, the tool tip holds them whole.
void ShowName(QLabel* label, const QString& name)
{
    label->setText(label->fontMetrics().elidedText(name, Qt::ElideMiddle, kMaximumNameWidth));
    label->setToolTip(PlainToolTip(name));
}

QLabel* AddRow(QGridLayout* grid, const QString& caption)
{
    const int row = grid->rowCount();
    grid->addWidget(new QLabel(caption), row, 0);
    auto* value = new QLabel;
    value->setTextInteractionFlags(Qt::TextSelectableByMouse);
    grid->addWidget(value, row, 1);
    return value;
}

}  // namespace

TProgressWindow::TProgressWindow(QWidget* owner, TKind kind, const std::string& filePath)
    : QDialog(owner)
    , kind_(kind)
    , filePath_(filePath)
{
    setObjectName(QStringLiteral("ProgressWindow"));
    setWindowTitle(kind == TKind::Split ? QStringLiteral("Datei teilen") : QStringLiteral("Datei zusammenfügen"));
    setWindowModality(Qt::WindowModal);
    setMinimumWidth(kMinimumWidth);

    auto* layout = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    grid->setColumnStretch(1, 1);
    layout->addLayout(grid);
    ShowName(AddRow(grid, QStringLiteral("Datei:")), FileNameOf(filePath));
    bytes_ = AddRow(grid, QStringLiteral("Fortschritt:"));
    bar_ = new QProgressBar;
    bar_->setRange(0, kBarSteps);
    bar_->setTextVisible(false);
    grid->addWidget(bar_, grid->rowCount(), 0, 1, 2);
    piece_ = AddRow(grid, QStringLiteral("Teil:"));
    speed_ = AddRow(grid, QStringLiteral("Geschwindigkeit:"));
    timeLeft_ = AddRow(grid, QStringLiteral("Verbleibende Zeit:"));
    stopButton_ = new QPushButton(QStringLiteral("Abbrechen"));
    stopButton_->setObjectName(QStringLiteral("StopButton"));
    stopButton_->setAutoDefault(false);
    layout->addWidget(stopButton_, 0, Qt::AlignRight);
    connect(stopButton_, &QPushButton::clicked, this, &TProgressWindow::Stop);
    ShowReport({});
}

void TProgressWindow::ShowReport(const TProgressReport& report)
{
    // Reports already under way when the user stopped change nothing any more.
    if (stopping_)
        return;
    bytes_->setText(report.Total == 0 && report.Done == 0
                        ? QStringLiteral("wird ermittelt …")
                        : QStringLiteral("%1 von %2").arg(Bytes(report.Done), Bytes(report.Total)));
    bar_->setValue(report.Total == 0 ? 0 : static_cast<int>(report.Done * kBarSteps / report.Total));
    if (report.Piece == 0)
        ShowName(piece_, QString());
    else if (kind_ == TKind::Split)
        ShowName(piece_, FileNameOf(PieceFileName(filePath_, report.Piece)));
    else
        piece_->setText(QStringLiteral("%1 von %2").arg(report.Piece).arg(report.PieceCount));

    const auto elapsed = std::chrono::steady_clock::now() - started_;
    const double seconds = std::chrono::duration<double>(elapsed).count();
    if (elapsed < kSpeedSettles || report.Done == 0) {
        speed_->setText(QStringLiteral("wird ermittelt …"));
        timeLeft_->setText(QStringLiteral("wird ermittelt …"));
        return;
    }
    const double rate = static_cast<double>(report.Done) / seconds;
    speed_->setText(Bytes(static_cast<std::uint64_t>(rate)) + QStringLiteral("/s"));
    const double left = static_cast<double>(report.Total - std::min(report.Done, report.Total)) / rate;
    timeLeft_->setText(Duration(std::chrono::seconds(static_cast<long long>(left + 0.5))));
}

void TProgressWindow::Stop()
{
    if (std::exchange(stopping_, true))
        return;
    stopButton_->setEnabled(false);
    bytes_->setText(QStringLiteral("Wird abgebrochen …"));
    if (OnStop)
        OnStop();
}

void TProgressWindow::reject()
{
    Stop();
}

void TProgressWindow::closeEvent(QCloseEvent* event)
{
    event->ignore();
    Stop();
}
