#include "engine/pieces/TPieceSeries.h"

#include "engine/core/PathParts.h"
#include "engine/pieces/PieceNaming.h"

#include <algorithm>
#include <cerrno>
#include <memory>
#include <string_view>

#include <dirent.h>
#include <sys/stat.h>

namespace {

// The longest number text that still fits a 64-bit piece number.
constexpr std::size_t kMaxNumberDigits = 18;  // 10^18 - 1 < 2^63

// The piece number a directory entry carries after "<name>.", or 0 when the entry
// is not named exactly as the piece of that number would be.
std::int64_t PieceNumberOfEntry(std::string_view entry, std::string_view prefix)
{
    if (entry.size() <= prefix.size() || entry.substr(0, prefix.size()) != prefix)
        return 0;
    const std::string_view digits = entry.substr(prefix.size());
    if (digits.size() < 4 || digits.size() > kMaxNumberDigits)
        return 0;
    std::int64_t number = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9')
            return 0;
        number = number * 10 + (c - '0');
    }
    if (number < 1 || FormatPieceNumber(number) != digits)
        return 0;
    return number;
}

std::string MissingPiece(const std::string& name)
{
    return "Der Teil " + name + " fehlt.";
}

}  // namespace

TPieceSeries TPieceSeries::Find(const std::string& basePath)
{
    TPieceSeries series;
    if (series.Collect(basePath))
        series.CheckSizes(basePath);
    return series;
}

TPieceSeries TPieceSeries::Find(const std::string& basePath, const TSeriesShape& shape)
{
    TPieceSeries series;
    if (series.ReadPieces(basePath, shape.PieceCount))
        series.CheckShape(shape);
    return series;
}

std::uint64_t TPieceSeries::TotalSize() const
{
    std::uint64_t total = 0;
    for (const TPiece& piece : pieces_)
        total += piece.Size;
    return total;
}

// Lists the folder once for every name of the series, so that a gap anywhere is
// found, not only the first missing number.
bool TPieceSeries::Collect(const std::string& basePath)
{
    const std::string folder = FolderOfPath(basePath);
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), &::closedir);
    if (!dir) {
        problem_ = "Der Ordner " + folder + " konnte nicht gelesen werden.";
        return false;
    }
    const std::string prefix = NameOfPath(basePath) + ".";
    std::vector<std::int64_t> numbers;
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(dir.get());
        if (!entry)
            break;
        if (const std::int64_t number = PieceNumberOfEntry(entry->d_name, prefix))
            numbers.push_back(number);
    }
    if (errno != 0) {
        problem_ = "Der Ordner " + folder + " konnte nicht gelesen werden.";
        return false;
    }
    std::sort(numbers.begin(), numbers.end());
    std::int64_t expected = 1;
    for (const std::int64_t number : numbers) {
        if (number != expected)
            break;
        ++expected;
    }
    if (expected == 1 || expected <= (numbers.empty() ? 0 : numbers.back())) {
        problem_ = MissingPiece(PieceFileName(basePath, expected));
        return false;
    }
    return ReadPieces(basePath, expected - 1);
}

bool TPieceSeries::ReadPieces(const std::string& basePath, std::int64_t count)
{
    pieces_.reserve(static_cast<std::size_t>(count));
    for (std::int64_t number = 1; number <= count; ++number) {
        TPiece piece;
        piece.Name = PieceFileName(basePath, number);
        piece.Number = number;
        struct stat status
        {};
        if (::stat(piece.Name.c_str(), &status) != 0) {
            problem_ = errno == ENOENT ? MissingPiece(piece.Name)
                                       : "Der Teil " + piece.Name + " konnte nicht geöffnet werden.";
            return false;
        }
        if (!S_ISREG(status.st_mode)) {
            problem_ = "Der Teil " + piece.Name + " ist keine Datei.";
            return false;
        }
        piece.Size = static_cast<std::uint64_t>(status.st_size);
        piece.Device = status.st_dev;
        piece.Inode = status.st_ino;
        piece.Mode = status.st_mode;
        piece.Times = FileTimesOf(status);
        pieces_.push_back(std::move(piece));
    }
    return true;
}

void TPieceSeries::CheckShape(const TSeriesShape& shape)
{
    for (const TPiece& piece : pieces_) {
        const bool isLast = piece.Number == shape.PieceCount;
        if (isLast ? piece.Size >= shape.PieceSize : piece.Size != shape.PieceSize) {
            problem_ = "Der Teil " + piece.Name + " ist beschädigt: seine Größe stimmt nicht.";
            return;
        }
    }
}

void TPieceSeries::CheckSizes(const std::string& basePath)
{
    const TPiece& first = pieces_.front();
    const std::uint64_t full = first.Size;
    for (std::size_t i = 0; i < pieces_.size(); ++i) {
        const TPiece& piece = pieces_[i];
        const bool isLast = i + 1 == pieces_.size();
        if (piece.Size > full) {
            problem_ = "Die Teile gehören nicht zusammen: " + piece.Name + " ist größer als " + first.Name + ".";
            return;
        }
        if (isLast)
            break;
        if (full == 0) {
            problem_ = "Die Teile gehören nicht zusammen: auf den leeren Teil " + piece.Name + " folgt noch " +
                       pieces_[i + 1].Name + ".";
            return;
        }
        if (piece.Size < full) {
            problem_ = "Die Teile gehören nicht zusammen: auf den kürzeren Teil " + piece.Name + " folgt noch " +
                       pieces_[i + 1].Name + ".";
            return;
        }
    }
    // A series that runs out at full size has lost its last, shorter piece.
    if (pieces_.size() > 1 && pieces_.back().Size == full)
        problem_ = MissingPiece(PieceFileName(basePath, static_cast<std::int64_t>(pieces_.size()) + 1));
}
