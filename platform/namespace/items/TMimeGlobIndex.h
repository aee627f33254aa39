#pragma once

#include <string>
#include <unordered_set>
#include <vector>

#include <QString>

class QMimeDatabase;

// Tells from the MIME database's file-name patterns how a name's type is
// found, so that a type asked for many names need not be looked up for each:
// most patterns are a plain "*.ext", and a name that no other kind of pattern
// can match has the type of its last extension, or none when no pattern has
// that extension.
class TMimeGlobIndex
{
public:
    enum class TMatch {
        None,         // no pattern matches: the type is unknown
        ByExtension,  // the last extension alone decides the type
        ByName,       // a pattern that spans more of the name may match: look the name up
    };

    explicit TMimeGlobIndex(const QMimeDatabase& database);

    // `name` is the file name's bytes; `extension` its text after the last dot
    // ("" for none), lower-cased.
    TMatch Classify(const std::string& name, const std::string& lowerExtension) const;

private:
    std::unordered_set<std::string> extensions_;     // of "*.ext" patterns
    std::unordered_set<std::string> compoundTails_;  // last extensions of "*.tar.gz"-like patterns
    std::unordered_set<std::string> literalNames_;   // "makefile", "cmakelists.txt"
    std::vector<std::string> wildcardPatterns_;      // the rest ("readme*", "*.[1-9]")
};
