#include "engine/join/TJoiner.h"

#include "engine/checksums/ChecksumFile.h"
#include "engine/core/FileSync.h"
#include "engine/core/FileTimes.h"
#include "engine/core/PathParts.h"
#include "engine/core/TFileDescriptor.h"
#include "engine/core/TTemporaryFile.h"
#include "engine/host/EngineMessages.h"
#include "engine/host/TProgressGate.h"
#include "engine/join/TJoinVerifier.h"
#include "engine/pieces/TPieceSeries.h"
#include "engine/transfer/TFileTransfer.h"
#include "engine/transfer/TWriteBehind.h"

#include <algorithm>
#include <optional>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace {

constexpr const char* kJoinCaption = "Zusammenfügen";
constexpr const char* kJoinDoneCaption = "Zusammenfügen beendet";
constexpr const char* kJoinStopped = "Zusammenfügen abgebrochen.";

bool IsDirectory(const std::string& path)
{
    struct stat status
    {};
    return ::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

bool IsOnePiece(const struct stat& status, const TPieceSeries& series)
{
    return std::any_of(series.Pieces().begin(), series.Pieces().end(), [&](const TPiece& piece) {
        return piece.Device == status.st_dev && piece.Inode == status.st_ino;
    });
}

bool HasRoomFor(const std::string& folder, std::uint64_t bytes)
{
    struct statvfs space
    {};
    if (::statvfs(folder.c_str(), &space) != 0 || space.f_frsize == 0)
        return true;  // nothing known: the writing itself will tell
    // The superuser may also fill the blocks the file system keeps back for it.
    const std::uint64_t blocks = ::geteuid() == 0 ? space.f_bfree : space.f_bavail;
    return blocks >= (bytes + space.f_frsize - 1) / space.f_frsize;
}

TFileDescriptor OpenPiece(const std::string& name)
{
    TFileDescriptor fd(::open(name.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    struct stat status
    {};
    if (fd.IsOpen() && (::fstat(fd.Get(), &status) != 0 || !S_ISREG(status.st_mode)))
        return {};
    if (fd.IsOpen())
        ::posix_fadvise(fd.Get(), 0, 0, POSIX_FADV_SEQUENTIAL);
    return fd;
}

std::string JoinedText(const std::string& basePath, std::size_t count)
{
    const std::string pieces = count == 1 ? "1 Teil" : std::to_string(count) + " Teilen";
    return "Die Datei " + basePath + " wurde aus " + pieces + " zusammengefügt.";
}

}  // namespace

TJoiner::TJoiner(TEngineHost host, TTransferSettings transfer)
    : host_(std::move(host))
    , transfer_(transfer)
{
}

bool TJoiner::JoinFile(const std::string& basePath)
{
    const TRefreshOnExit refresh(host_);
    // An empty last name (a piece named ".0001") names the folder itself.
    if (NameOfPath(basePath).empty() || IsDirectory(basePath)) {
        ShowError(host_, "Die Datei " + basePath + " kann nicht erstellt werden, weil ein Ordner so heißt.");
        return false;
    }
    // A checksum file of ours gives the series' shape and the digests the join is proven against.
    const TChecksumFileRead checksums = ReadChecksumFile(basePath);
    if (!checksums.Problem.empty()) {
        ShowError(host_, checksums.Problem);
        return false;
    }
    const TPieceSeries series =
        checksums.Checksums
            ? TPieceSeries::Find(basePath, {checksums.Checksums->PieceCount, checksums.Checksums->PieceSize})
            : TPieceSeries::Find(basePath);
    if (!series.IsComplete()) {
        ShowError(host_, series.Problem());
        return false;
    }
    if (!MayWrite(basePath, series) ||
        !WriteFile(basePath, series, checksums.Checksums ? &*checksums.Checksums : nullptr))
        return false;
    ShowInformation(host_, kJoinDoneCaption, JoinedText(basePath, series.Pieces().size()));
    return true;
}

// Whether the rebuilt file may take its name: an existing file there is replaced
// only when the user agrees, and never when that name is one of the pieces.
bool TJoiner::MayWrite(const std::string& basePath, const TPieceSeries& series) const
{
    struct stat status
    {};
    if (::lstat(basePath.c_str(), &status) == 0) {
        struct stat target
        {};
        if (::stat(basePath.c_str(), &target) == 0 && IsOnePiece(target, series)) {
            ShowError(host_, "Die Datei " + basePath + " ist selbst einer der Teile und wird nicht ersetzt.");
            return false;
        }
        if (!AskYesNo(host_, kJoinCaption, "Die Datei " + basePath + " existiert bereits. Soll sie ersetzt werden?"))
            return false;
    }
    if (!HasRoomFor(FolderOfPath(basePath), series.TotalSize())) {
        ShowError(host_, "Für die Datei " + basePath + " ist auf dem Datenträger nicht genug Platz frei.");
        return false;
    }
    return true;
}

bool TJoiner::WriteFile(const std::string& basePath, const TPieceSeries& series, const TSeriesChecksums* checksums)
{
    const std::string folder = FolderOfPath(basePath);
    TTemporaryFile target(basePath);
    if (!target.IsOpen()) {
        ShowError(host_, "Die Datei " + basePath + " konnte nicht erstellt werden.");
        return false;
    }
    const TPiece& first = series.Pieces().front();
    ::fchmod(target.Fd(), first.Mode & 0777);

    const std::string writeFailed = "Die Datei " + basePath + " konnte nicht geschrieben werden.";
    TFileTransfer transfer(transfer_);
    TWriteBehind writeBehind(target.Fd());
    std::optional<TJoinVerifier> verifier;
    if (checksums)
        verifier.emplace(*checksums, series, basePath, target.Fd());
    const std::uint64_t total = series.TotalSize();
    std::uint64_t done = 0;
    const auto pieceCount = static_cast<std::int64_t>(series.Pieces().size());
    std::int64_t pieceNumber = 0;
    TProgressGate progress(host_);
    for (const TPiece& piece : series.Pieces()) {
        ++pieceNumber;
        const TFileDescriptor source = OpenPiece(piece.Name);
        if (!source.IsOpen()) {
            ShowError(host_, "Der Teil " + piece.Name + " konnte nicht geöffnet werden.");
            return false;
        }
        transfer.BeginFiles();
        std::uint64_t left = piece.Size;
        while (left > 0) {
            const auto want = static_cast<std::size_t>(std::min<std::uint64_t>(transfer.TransferSize(), left));
            const TTransferResult result = transfer.Transfer(source.Get(), target.Fd(), want);
            if (result.Fault == TTransferFault::Write) {
                ShowError(host_, writeFailed);
                return false;
            }
            // A piece that ends before its checked size has changed meanwhile and cannot be trusted.
            if (result.Fault == TTransferFault::Read || result.Bytes == 0) {
                ShowError(host_, "Der Teil " + piece.Name + " konnte nicht gelesen werden.");
                return false;
            }
            left -= result.Bytes;
            done += result.Bytes;
            if (verifier && !verifier->Advance(done)) {
                ShowError(host_, verifier->Problem());
                return false;
            }
            // Pages still to be read back stay in the page cache.
            if (!writeBehind.Advance(verifier ? verifier->Checked() : done)) {
                ShowError(host_, writeFailed);
                return false;
            }
            if (done < total && !progress.KeepGoing({done, total, pieceNumber, pieceCount})) {
                LogLine(host_, kJoinStopped);
                return false;
            }
        }
        if (verifier)
            verifier->EndPiece();
    }
    if (verifier && !verifier->Finish()) {
        ShowError(host_, verifier->Problem());
        return false;
    }
    if (!writeBehind.Finish()) {
        ShowError(host_, writeFailed);
        return false;
    }
    // The source's times are a courtesy: a file system that refuses them keeps the bytes whole.
    static_cast<void>(ApplyFileTimes(target.Fd(), first.Times));
    const bool flushed = ::fsync(target.Fd()) == 0;
    if (flushed)
        writeBehind.DropAll();
    if (!target.Close() || !flushed) {
        ShowError(host_, writeFailed);
        return false;
    }
    if (!progress.Finish({total, total, pieceCount, pieceCount})) {
        LogLine(host_, kJoinStopped);
        return false;
    }
    if (!target.RenameIntoPlace()) {
        ShowError(host_, "Die Datei " + basePath + " konnte nicht erstellt werden.");
        return false;
    }
    if (!SyncFolder(folder)) {
        ShowError(host_, writeFailed);
        return false;
    }
    if (verifier)
        LogLine(host_, verifier->Passed());
    return true;
}
