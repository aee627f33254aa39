#include "engine/pieces/StalePieces.h"

#include "engine/pieces/PieceNaming.h"

#include <sys/stat.h>
#include <unistd.h>

std::vector<std::string> RemoveStalePieces(const std::string& sourcePath, std::int64_t pieceCount)
{
    std::vector<std::string> removed;
    for (std::int64_t number = pieceCount + 1;; ++number) {
        const std::string name = PieceFileName(sourcePath, number);
        struct stat status
        {};
        // A directory of a piece's name is no piece; the run ends at it.
        if (::lstat(name.c_str(), &status) != 0 || S_ISDIR(status.st_mode))
            break;
        if (::unlink(name.c_str()) != 0)
            break;
        removed.push_back(name);
    }
    return removed;
}
