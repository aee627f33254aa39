#include "platform/TMimeGlobIndex.h"

#include <fnmatch.h>

#include <QMimeDatabase>
#include <QMimeType>

#include <algorithm>

namespace {

bool HasWildcard(const std::string& text)
{
    return text.find_first_of("*?[") != std::string::npos;
}

std::string AsciiLower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; });
    return text;
}

}  // namespace

TMimeGlobIndex::TMimeGlobIndex(const QMimeDatabase& database)
{
    for (const QMimeType& type : database.allMimeTypes()) {
        for (const QString& globPattern : type.globPatterns()) {
            // Patterns are matched case-insensitively here; a case-sensitive
            // one only makes this index look the name up more often.
            const std::string pattern = AsciiLower(globPattern.toStdString());
            if (pattern.size() > 2 && pattern.starts_with("*.")) {
                const std::string extension = pattern.substr(2);
                if (!HasWildcard(extension) && extension.find('.') == std::string::npos) {
                    extensions_.insert(extension);
                    continue;
                }
            }
            if (!HasWildcard(pattern)) {
                literalNames_.insert(pattern);
                continue;
            }
            const std::size_t dot = pattern.rfind('.');
            const std::string tail = dot == std::string::npos ? std::string() : pattern.substr(dot + 1);
            if (dot != std::string::npos && !HasWildcard(tail))
                compoundTails_.insert(tail);
            else
                wildcardPatterns_.push_back(pattern);
        }
    }
}

TMimeGlobIndex::TMatch TMimeGlobIndex::Classify(const std::string& name, const std::string& lowerExtension) const
{
    if (compoundTails_.contains(lowerExtension) || literalNames_.contains(AsciiLower(name)))
        return TMatch::ByName;
    for (const std::string& pattern : wildcardPatterns_) {
        if (::fnmatch(pattern.c_str(), name.c_str(), FNM_CASEFOLD) == 0)
            return TMatch::ByName;
    }
    if (lowerExtension.empty() || !extensions_.contains(lowerExtension))
        return TMatch::None;
    return TMatch::ByExtension;
}
