#include "platform/namespace/items/TMimeGlobIndex.h"

#include <QMimeDatabase>
#include <QMimeType>

#include <algorithm>
#include <string_view>

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

// Matches a bracket expression ("[0-9]", "[!a]") at `pattern[pos]` against
// `c`; moves `pos` past it. An unclosed bracket matches itself.
bool MatchBracket(std::string_view pattern, std::size_t& pos, char c)
{
    std::size_t i = pos + 1;
    const bool negated = i < pattern.size() && (pattern[i] == '!' || pattern[i] == '^');
    if (negated)
        ++i;
    bool matched = false;
    const std::size_t first = i;
    for (; i < pattern.size() && (pattern[i] != ']' || i == first); ++i) {
        if (i + 2 < pattern.size() && pattern[i + 1] == '-' && pattern[i + 2] != ']') {
            matched = matched || (c >= pattern[i] && c <= pattern[i + 2]);
            i += 2;
        } else {
            matched = matched || c == pattern[i];
        }
    }
    if (i >= pattern.size()) {
        ++pos;
        return c == '[';
    }
    pos = i + 1;
    return matched != negated;
}

// Shell-style matching of a whole name: "*", "?" and bracket expressions.
// Bytewise, on names and patterns already lower-cased.
bool MatchGlob(std::string_view pattern, std::string_view name)
{
    std::size_t p = 0;
    std::size_t n = 0;
    std::size_t starPattern = std::string_view::npos;
    std::size_t starName = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starPattern = ++p;
            starName = n;
            continue;
        }
        if (p < pattern.size()) {
            std::size_t next = p;
            const bool matched = pattern[p] == '[' ? MatchBracket(pattern, next, name[n])
                                                   : (++next, pattern[p] == '?' || pattern[p] == name[n]);
            if (matched) {
                p = next;
                ++n;
                continue;
            }
        }
        if (starPattern == std::string_view::npos)
            return false;
        p = starPattern;
        n = ++starName;
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
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
    if (compoundTails_.contains(lowerExtension))
        return TMatch::ByName;
    const std::string lowerName = AsciiLower(name);
    if (literalNames_.contains(lowerName))
        return TMatch::ByName;
    for (const std::string& pattern : wildcardPatterns_) {
        if (MatchGlob(pattern, lowerName))
            return TMatch::ByName;
    }
    if (lowerExtension.empty() || !extensions_.contains(lowerExtension))
        return TMatch::None;
    return TMatch::ByExtension;
}
