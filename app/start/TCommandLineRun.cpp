#include "app/start/TCommandLineRun.h"

#include "app/forms/ReadableSize.h"
#include "app/start/TStartOptions.h"
#include "engine/join/TJoinRequest.h"
#include "engine/split/TSplitOperation.h"

#include <atomic>
#include <csignal>
#include <utility>

#include <unistd.h>

namespace {

constexpr int kSuccess = 0;
constexpr int kFailure = 1;
constexpr int kUsageError = 2;

std::atomic<bool> stopRequested{false};

extern "C" void RequestStop(int)
{
    stopRequested = true;
}

// Ctrl-C and a hang-up ask the work to stop at its next report, so that it
// takes back its pieces rather than leaving half a series.
class TStopSignals
{
public:
    TStopSignals()
    {
        struct sigaction action
        {};
        action.sa_handler = RequestStop;
        sigemptyset(&action.sa_mask);
        for (int signal : {SIGINT, SIGTERM, SIGHUP})
            ::sigaction(signal, &action, nullptr);
    }
    ~TStopSignals()
    {
        for (int signal : {SIGINT, SIGTERM, SIGHUP})
            std::signal(signal, SIG_DFL);
    }
    TStopSignals(const TStopSignals&) = delete;
    TStopSignals& operator=(const TStopSignals&) = delete;
};

void Print(std::FILE* stream, const std::string& text)
{
    std::fputs(text.c_str(), stream);
    std::fflush(stream);
}

}  // namespace

TCommandLineRun::TCommandLineRun(const TStartOptions& options)
    : options_(options)
    , terminal_(::isatty(STDERR_FILENO) == 1)
{
}

int TCommandLineRun::Run(const TStartOptions& options)
{
    switch (options.Action()) {
    case TStartOptions::TAction::Help: Print(stdout, TStartOptions::HelpText()); return kSuccess;
    case TStartOptions::TAction::Version: Print(stdout, TStartOptions::VersionText()); return kSuccess;
    case TStartOptions::TAction::UsageError:
        Print(stderr, "parzello: " + options.Problem() + "\n„parzello --help“ zeigt, wie es geht.\n");
        return kUsageError;
    case TStartOptions::TAction::NoDisplay:
        Print(stderr, "parzello: keine grafische Anzeige: weder DISPLAY noch WAYLAND_DISPLAY ist gesetzt.\n"
                      "Ohne Fenster teilt „parzello --split DATEI“ und fügt „parzello --join TEIL“ zusammen.\n");
        return kFailure;
    case TStartOptions::TAction::Window: return kUsageError;
    case TStartOptions::TAction::Split:
    case TStartOptions::TAction::Join: break;
    }
    TCommandLineRun run(options);
    const TStopSignals stopSignals;
    bool done = false;
    if (options.Action() == TStartOptions::TAction::Split)
        done = TSplitOperation(run.MakeHost()).SplitFile(options.WorkPath(), options.PieceSize()) > 0;
    else
        done = TJoinRequest(run.MakeHost()).CombineFile(options.WorkPath());
    run.ClearProgress();
    return done && !run.kept_ ? kSuccess : kFailure;
}

TEngineHost TCommandLineRun::MakeHost()
{
    TEngineHost host;
    host.Log = [this](const std::string& line) { Write(line); };
    host.ShowMessage = [this](TBoxIcon icon, const std::string&, const std::string& text) {
        switch (icon) {
        case TBoxIcon::Error: Write("parzello: " + text); return TBoxAnswer::Ok;
        case TBoxIcon::Information:
        case TBoxIcon::Warning: Write(text); return TBoxAnswer::Ok;
        case TBoxIcon::Question: break;
        }
        // The one question the work asks is whether to replace a file.
        if (options_.Replace())
            return TBoxAnswer::Yes;
        kept_ = true;
        Write("parzello: " + text + " Ohne --replace nicht: sie bleibt, wie sie ist.");
        return TBoxAnswer::No;
    };
    host.Progress = [this](const TProgressReport& report) {
        if (terminal_)
            DrawProgress(report);
        return !stopRequested;
    };
    return host;
}

void TCommandLineRun::Write(const std::string& text)
{
    ClearProgress();
    Print(stderr, text + "\n");
}

void TCommandLineRun::DrawProgress(const TProgressReport& report)
{
    const int percent = report.Total == 0 ? 100 : int(report.Done * 100 / report.Total);
    const std::string line = "Teil " + std::to_string(report.Piece) + " von " + std::to_string(report.PieceCount) +
                             ": " + ReadableSize(report.Done).toStdString() + " von " +
                             ReadableSize(report.Total).toStdString() + " (" + std::to_string(percent) + " %)";
    // Back to the line's start and clear it, so a shorter line leaves nothing behind.
    Print(stderr, "\r\033[K" + line);
    progressShown_ = true;
}

void TCommandLineRun::ClearProgress()
{
    if (std::exchange(progressShown_, false))
        Print(stderr, "\r\033[K");
}
