#include "platform/dialogs/TOperationProgress.h"

#include <QApplication>
#include <QLabel>
#include <QProgressDialog>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <utility>

namespace {

// Long enough that quick work never flashes a dialog, short enough that the
// user soon sees that something is happening.
constexpr std::chrono::milliseconds kDefaultShowDelay{1000};
// How often the dialog is repainted and the event loop turned: smooth for
// the eye without costing copy throughput.
constexpr std::chrono::milliseconds kRefreshInterval{40};
// QProgressDialog counts in int: the units are scaled into this range.
constexpr int kDialogRange = 1000;

std::atomic<long long> gShowDelayMs{kDefaultShowDelay.count()};

std::mutex& ObserverMutex()
{
    static std::mutex mutex;
    return mutex;
}

TOperationProgressObserver& Observer()
{
    static TOperationProgressObserver observer;
    return observer;
}

TOperationProgressObserver CurrentObserver()
{
    std::lock_guard lock(ObserverMutex());
    return Observer();
}

}  // namespace

TOperationProgressObserver SetOperationProgressObserver(TOperationProgressObserver observer)
{
    std::lock_guard lock(ObserverMutex());
    return std::exchange(Observer(), std::move(observer));
}

TOperationProgress::TOperationProgress(QWidget* owner, QString caption)
    : owner_(owner)
    , caption_(std::move(caption))
    , started_(std::chrono::steady_clock::now())
{
}

TOperationProgress::~TOperationProgress()
{
    delete dialog_.data();
}

void TOperationProgress::SetShowDelay(std::chrono::milliseconds delay)
{
    gShowDelayMs = delay.count();
}

std::chrono::milliseconds TOperationProgress::ShowDelay()
{
    return std::chrono::milliseconds(gShowDelayMs.load());
}

void TOperationProgress::SetTotal(std::uint64_t units)
{
    total_ = units;
}

void TOperationProgress::AddToTotal(std::uint64_t units)
{
    total_ += units;
}

void TOperationProgress::SetCurrentItem(const QString& text)
{
    currentItem_ = text;
}

QProgressDialog* TOperationProgress::Dialog() const
{
    return dialog_.data();
}

bool TOperationProgress::MayShowDialog() const
{
    return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr &&
           QThread::currentThread() == QCoreApplication::instance()->thread();
}

bool TOperationProgress::Step(std::uint64_t units)
{
    done_ += units;
    if (const TOperationProgressObserver observer = CurrentObserver())
        observer(*this);
    if (cancelled_)
        return false;
    const auto now = std::chrono::steady_clock::now();
    if (!dialogMade_ && now - started_ >= ShowDelay() && MayShowDialog()) {
        dialogMade_ = true;
        dialog_ = new QProgressDialog(owner_);  // deleted by the destructor
        dialog_->setWindowTitle(caption_);
        // The label names the current item: a path, never markup.
        auto* label = new QLabel(dialog_);  // the dialog takes it over
        label->setTextFormat(Qt::PlainText);
        dialog_->setLabel(label);
        dialog_->setCancelButtonText(QStringLiteral("Abbrechen"));
        dialog_->setRange(0, kDialogRange);
        dialog_->setMinimumDuration(0);
        dialog_->setAutoClose(false);
        dialog_->setAutoReset(false);
        dialog_->setWindowModality(Qt::ApplicationModal);
        QObject::connect(dialog_, &QProgressDialog::canceled, [this] { cancelled_ = true; });
        dialog_->show();
        lastRefresh_ = {};
    }
    if (dialog_ && now - lastRefresh_ >= kRefreshInterval) {
        lastRefresh_ = now;
        UpdateDialog();
        // The operation runs on this thread, so its dialog's button is served
        // here. The dialog is application-modal: no input reaches another
        // window, so no command starts and no window closes by the user's hand.
        // Timers, change reports and queued calls do run: panes may add or
        // remove nodes and entries under the operation (callers find theirs
        // again afterwards), and the owner may go, taking the dialog along.
        QCoreApplication::processEvents();
    }
    return !cancelled_;
}

void TOperationProgress::UpdateDialog()
{
    dialog_->setLabelText(currentItem_);
    if (total_ == 0) {
        dialog_->setRange(0, 0);
        return;
    }
    if (dialog_->maximum() != kDialogRange)
        dialog_->setRange(0, kDialogRange);
    const std::uint64_t shown = std::min(done_, total_);
    dialog_->setValue(static_cast<int>(shown * kDialogRange / total_));
}
