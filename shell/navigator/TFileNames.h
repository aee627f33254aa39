#pragma once

#include <QString>

#include <cstddef>
#include <string>
#include <vector>

// A plain list of file names or paths for events and commands. Names are kept
// as the file names' own bytes, so that names which are not valid UTF-8 reach
// the file system unchanged; the QString accessors are for showing them.
class TFileNames
{
public:
    void Add(const QString& name);
    void Add(std::string name);
    int Count() const { return static_cast<int>(names_.size()); }
    bool IsEmpty() const { return names_.empty(); }
    // Empty for an index out of range.
    QString Get(int index) const;
    const std::string& GetBytes(int index) const;
    void Clear() { names_.clear(); }
    const std::vector<std::string>& Names() const { return names_; }

private:
    std::vector<std::string> names_;
};
