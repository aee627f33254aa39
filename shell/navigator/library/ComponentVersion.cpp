#include "shell/navigator/library/ComponentVersion.h"

QString ComponentVersion(const char* className)
{
    return QString::fromLatin1(className) + QStringLiteral(" V5.4");
}
