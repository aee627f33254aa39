#pragma once

#include <cstddef>
#include <string>

// Keeps a file's pages in the page cache while the object lives: maps the file
// and locks the mapping, so that neither memory pressure nor proactive reclaim
// (which this virtual machine runs) evicts a benchmark's input between rounds.
class TPinnedFile
{
public:
    // Throws std::runtime_error when the file cannot be opened or mapped. A lock
    // the system refuses leaves the file mapped and Locked() false.
    explicit TPinnedFile(const std::string& path);
    ~TPinnedFile();

    TPinnedFile(const TPinnedFile&) = delete;
    TPinnedFile& operator=(const TPinnedFile&) = delete;

    bool Locked() const { return locked_; }

private:
    void* address_ = nullptr;
    std::size_t length_ = 0;
    bool locked_ = false;
};
