#include "platform/namespace/items/DetailTexts.h"

#include <QFile>
#include <QLocale>
#include <QMimeDatabase>
#include <QMimeType>

#include <memory>
#include <mutex>
#include <unordered_map>

#include "platform/namespace/items/TMimeGlobIndex.h"

namespace {

QString GroupThousands(std::uint64_t value)
{
    QString digits = QString::number(value);
    for (qsizetype pos = digits.size() - 3; pos > 0; pos -= 3)
        digits.insert(pos, QLatin1Char('.'));
    return digits;
}

// The MIME comments of the file types, for the current default locale. A
// folder of 100 000 pieces asks for the same few types again and again, and a
// lookup by name costs about a tenth of a millisecond.
class TTypeTextCache
{
public:
    QString CommentFor(const std::string& name, const QString& fileName)
    {
        const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
        const QString extension = dot >= 0 ? fileName.mid(dot + 1) : QString();
        const std::lock_guard lock(mutex_);
        const QLocale locale;
        if (locale != locale_) {
            comments_.clear();
            locale_ = locale;
        }
        // The index costs as much as some seven hundred lookups by name: a
        // list that shows a few rows looks them up, a sort by type builds it.
        if (!globs_ && ++directLookups_ <= kDirectLookups)
            return CommentOf(fileName);
        if (!globs_)
            globs_ = std::make_unique<TMimeGlobIndex>(database_);
        switch (globs_->Classify(name, extension.toLower().toStdString())) {
        case TMimeGlobIndex::TMatch::None: return {};
        case TMimeGlobIndex::TMatch::ByName: return CommentOf(fileName);
        case TMimeGlobIndex::TMatch::ByExtension: break;
        }
        const auto found = comments_.find(extension);
        if (found != comments_.end())
            return found->second;
        const QString comment = CommentOf(fileName);
        comments_.emplace(extension, comment);
        return comment;
    }

private:
    struct TQStringHash
    {
        std::size_t operator()(const QString& text) const { return qHash(text); }
    };

    QString CommentOf(const QString& fileName) const
    {
        const QMimeType type = database_.mimeTypeForFile(fileName, QMimeDatabase::MatchExtension);
        return type.isDefault() ? QString() : type.comment();
    }

    // Lookups by name before the index is built: a few screens of rows, at
    // most a fifth of what the index costs.
    static constexpr int kDirectLookups = 128;

    std::mutex mutex_;
    QMimeDatabase database_;
    int directLookups_ = 0;
    std::unique_ptr<TMimeGlobIndex> globs_;
    QLocale locale_;
    std::unordered_map<QString, QString, TQStringHash> comments_;
};

TTypeTextCache& TypeTextCache()
{
    static TTypeTextCache cache;
    return cache;
}

}  // namespace

QString FormatSizeText(std::uint64_t bytes)
{
    const std::uint64_t kilobytes = bytes / 1024 + (bytes % 1024 != 0 ? 1 : 0);
    return GroupThousands(kilobytes) + QStringLiteral(" KB");
}

QString FormatDateText(std::time_t time)
{
    struct tm local
    {};
    if (localtime_r(&time, &local) == nullptr)
        return {};
    return QString::asprintf("%02d.%02d.%04d %02d:%02d", local.tm_mday, local.tm_mon + 1, local.tm_year + 1900,
                             local.tm_hour, local.tm_min);
}

QString FormatDateText(const struct timespec& time)
{
    return FormatDateText(time.tv_sec);
}

QString FileTypeText(const std::string& name, bool isFolder)
{
    if (isFolder)
        return QStringLiteral("Dateiordner");
    const QString fileName = QFile::decodeName(QByteArray::fromRawData(name.data(), qsizetype(name.size())));
    // A leading dot starts a hidden name, not an extension.
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    const QString extension = dot > 0 ? fileName.mid(dot + 1) : QString();
    const QString comment = TypeTextCache().CommentFor(name, fileName);
    if (!comment.isEmpty())
        return comment;
    if (extension.isEmpty())
        return QStringLiteral("Datei");
    return extension.toUpper() + QStringLiteral("-Datei");
}
