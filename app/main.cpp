#include "app/TProgram.h"

#include <QApplication>

// Parzello takes no command line, reads no configuration and keeps nothing
// between runs.
int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    TProgram program;
    return program.Run();
}
