#include "shell/navigator/TFileNames.h"

#include <QFile>

#include <utility>

void TFileNames::Add(const QString& name)
{
    names_.push_back(QFile::encodeName(name).toStdString());
}

void TFileNames::Add(std::string name)
{
    names_.push_back(std::move(name));
}

QString TFileNames::Get(int index) const
{
    return QFile::decodeName(QByteArray::fromStdString(GetBytes(index)));
}

const std::string& TFileNames::GetBytes(int index) const
{
    static const std::string kNone;
    return index >= 0 && index < Count() ? names_[static_cast<std::size_t>(index)] : kNone;
}
