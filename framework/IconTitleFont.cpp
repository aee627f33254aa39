#include "framework/IconTitleFont.h"

#include <QFont>
#include <QFontDatabase>

bool UseIconTitleFont(QFont& font)
{
    const QFont general = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    if (general.family().isEmpty())
        return false;
    font = general;
    return true;
}
