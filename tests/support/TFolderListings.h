#pragma once

#include <string>

// Counts the listings of one folder by anyone in the system: inotify reports
// each opening of the folder itself (opendir), which every listing starts with.
class TFolderListings
{
public:
    explicit TFolderListings(const std::string& folder);
    ~TFolderListings();
    TFolderListings(const TFolderListings&) = delete;
    TFolderListings& operator=(const TFolderListings&) = delete;

    // The openings of the folder since construction (or the last Count).
    int Count();

private:
    int fd_ = -1;
};
