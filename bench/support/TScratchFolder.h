#pragma once

#include <string>

// A fresh folder made under a parent folder and removed with everything in it
// when the object goes.
class TScratchFolder
{
public:
    // Throws std::runtime_error when the folder cannot be made.
    explicit TScratchFolder(const std::string& parent);
    ~TScratchFolder();

    TScratchFolder(const TScratchFolder&) = delete;
    TScratchFolder& operator=(const TScratchFolder&) = delete;

    const std::string& Path() const { return path_; }

private:
    std::string path_;
};
