#include "app/start/TCommandLineRun.h"
#include "app/start/TProgram.h"
#include "app/start/TStartOptions.h"
#include "framework/MessageBox.h"
#include "shell/navigator/EShellNavigatorError.h"

#include <QApplication>

// Parzello reads no configuration and keeps nothing between runs.
int main(int argc, char* argv[])
{
    // Read before the window system is touched: the answers to --help and
    // --version and the work without a window need no display.
    TStartOptions options = TStartOptions::FromMain(argc, argv);
    if (options.Action() != TStartOptions::TAction::Window)
        return TCommandLineRun::Run(options);
    QApplication application(argc, argv);
    // Qt has taken its own options (-platform, -style, ...) out of the line by now.
    options = TStartOptions(QApplication::arguments());
    if (options.Action() != TStartOptions::TAction::Window)
        return TCommandLineRun::Run(options);
    QApplication::setApplicationVersion(QStringLiteral(PARZELLO_VERSION));
    try {
        TProgram program;
        return program.Run(options);
    } catch (const EShellNavigatorError& error) {
        // Without the shell library there is nothing to show: say why and end.
        TMessageRequest request;
        request.Caption = QStringLiteral("Parzello");
        request.Text = error.Message();
        request.Icon = TMessageIcon::Error;
        ShowMessageBox(request);
        return 1;
    }
}
