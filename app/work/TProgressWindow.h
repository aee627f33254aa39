#pragma once

#include "engine/host/TEngineHost.h"

#include <QDialog>

#include <chrono>
#include <functional>
#include <string>

class QLabel;
class QProgressBar;
class QPushButton;

// The window that follows a long split or join: the file, the bytes done of
// the total with a bar, the piece at work, the speed and the time left, and
// "Abbrechen". Esc and the close box press "Abbrechen"; the window itself
// stays until the work has ended.
class TProgressWindow : public QDialog
{
    Q_OBJECT
public:
    enum class TKind { Split, Join };

    // filePath: the file split, or the file rebuilt, as the file names' own bytes.
    TProgressWindow(QWidget* owner, TKind kind, const std::string& filePath);

    // Called once when the user asks the work to stop.
    std::function<void()> OnStop;

    void ShowReport(const TProgressReport& report);
    // "Abbrechen" was pressed (or Esc, or the close box).
    bool Stopping() const { return stopping_; }

    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Stop();

    const TKind kind_;
    const std::string filePath_;
    const std::chrono::steady_clock::time_point started_ = std::chrono::steady_clock::now();
    bool stopping_ = false;
    QLabel* bytes_ = nullptr;
    QProgressBar* bar_ = nullptr;
    QLabel* piece_ = nullptr;
    QLabel* speed_ = nullptr;
    QLabel* timeLeft_ = nullptr;
    QPushButton* stopButton_ = nullptr;
};
