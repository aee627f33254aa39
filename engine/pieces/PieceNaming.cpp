#include "engine/pieces/PieceNaming.h"

std::string FormatPieceNumber(std::int64_t number)
{
    std::string text = std::to_string(number);
    while (text.size() < 4)
        text.insert(text.begin(), '0');
    return text;
}

std::string PieceFileName(const std::string& sourcePath, std::int64_t number)
{
    return sourcePath + "." + FormatPieceNumber(number);
}
