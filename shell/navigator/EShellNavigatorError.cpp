#include "shell/navigator/EShellNavigatorError.h"

#include <utility>

EShellNavigatorError::EShellNavigatorError(QString message)
    : message_(std::move(message))
    , utf8_(message_.toUtf8())
{
}
