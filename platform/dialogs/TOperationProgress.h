#pragma once

#include <QPointer>
#include <QProgressDialog>
#include <QString>
#include <QWidget>

#include <chrono>
#include <cstdint>
#include <functional>

class TOperationProgress;

// Called at every step of every running operation (tests cancel through it:
// by Cancel() or by clicking the dialog's cancel button). Returns the
// previous observer; an empty one removes it.
using TOperationProgressObserver = std::function<void(TOperationProgress& progress)>;
TOperationProgressObserver SetOperationProgressObserver(TOperationProgressObserver observer);

// The progress of one file operation and its cancel state. Work that is not
// done within ShowDelay() gets a progress dialog with a cancel button (only
// on the GUI thread of a widget application). Steps keep the event loop
// turning while the dialog is up, so its button answers; an owner closed
// meanwhile takes the dialog along, and the work goes on without one.
class TOperationProgress
{
public:
    TOperationProgress(QWidget* owner, QString caption);
    ~TOperationProgress();
    TOperationProgress(const TOperationProgress&) = delete;
    TOperationProgress& operator=(const TOperationProgress&) = delete;

    // How long work runs before the dialog appears; tests set 0.
    static void SetShowDelay(std::chrono::milliseconds delay);
    static std::chrono::milliseconds ShowDelay();

    // Total units of work (bytes plus one per entry); 0 while unknown.
    void SetTotal(std::uint64_t units);
    void AddToTotal(std::uint64_t units);
    // Names the item being worked on in the dialog.
    void SetCurrentItem(const QString& text);
    // Counts finished work; false once the operation has been cancelled.
    [[nodiscard]] bool Step(std::uint64_t units);
    bool IsCancelled() const { return cancelled_; }
    void Cancel() { cancelled_ = true; }

    std::uint64_t Done() const { return done_; }
    std::uint64_t Total() const { return total_; }
    const QString& CurrentItem() const { return currentItem_; }
    // The dialog once it is shown, else null.
    QProgressDialog* Dialog() const;

private:
    void UpdateDialog();
    bool MayShowDialog() const;

    QPointer<QWidget> owner_;
    QString caption_;
    QString currentItem_;
    std::uint64_t total_ = 0;
    std::uint64_t done_ = 0;
    bool cancelled_ = false;
    std::chrono::steady_clock::time_point started_;
    std::chrono::steady_clock::time_point lastRefresh_;
    // Deleted here, or before by the owner it is a child of.
    QPointer<QProgressDialog> dialog_;
    bool dialogMade_ = false;
};
