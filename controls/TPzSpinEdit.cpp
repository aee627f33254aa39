#include "controls/TPzSpinEdit.h"

#include <cstdio>
#include <cstdlib>

TPzSpinEdit::TPzSpinEdit(QWidget* parent)
    : QLineEdit(QStringLiteral("0"), parent)
{
}

long double TPzSpinEdit::Value() const
{
    return std::strtold(text().toUtf8().constData(), nullptr);
}

void TPzSpinEdit::SetValue(long double value)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.0Lf", value);
    setText(QString::fromLatin1(buffer));
}
