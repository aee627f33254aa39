#include "app/TProgram.h"
#include "platform/MessageBox.h"
#include "shell/EShellNavigatorError.h"

#include <QApplication>

// Parzello takes no command line, reads no configuration and keeps nothing
// between runs.
int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    try {
        TProgram program;
        return program.Run();
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
