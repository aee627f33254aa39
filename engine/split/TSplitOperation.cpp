#include "engine/split/TSplitOperation.h"

#include "engine/host/EngineMessages.h"
#include "engine/core/FileTimes.h"
#include "engine/pieces/PieceNaming.h"
#include "engine/core/TFileDescriptor.h"
#include "engine/transfer/TFileTransfer.h"
#include "engine/host/TProgressGate.h"

#include <algorithm>
#include <cerrno>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr const char* kSplitDoneCaption = "Splitten beendet";
constexpr const char* kSplitStopped = "Teilen abgebrochen.";

// Opens the source for reading only. Anything but a regular file is refused; the
// open does not wait for a writer when the name is a FIFO.
TFileDescriptor OpenSource(const std::string& path, struct stat& status)
{
    TFileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (!fd.IsOpen())
        return fd;
    if (::fstat(fd.Get(), &status) != 0 || !S_ISREG(status.st_mode))
        return {};
    const int flags = ::fcntl(fd.Get(), F_GETFL);
    if (flags >= 0)
        ::fcntl(fd.Get(), F_SETFL, flags & ~O_NONBLOCK);
    ::posix_fadvise(fd.Get(), 0, 0, POSIX_FADV_SEQUENTIAL);
    return fd;
}

// A piece always gets a new file of its own: whatever had its name before (a
// file, a symbolic link, a hard link to other data, the source's own) loses the
// name and keeps its data. A directory of that name makes the creation fail, and
// so does a name that is the last one the source's data has (the source reached
// through a symbolic link), which must not be taken from it.
TFileDescriptor CreatePiece(const std::string& name, mode_t mode, const struct stat& source)
{
    struct stat existing
    {};
    const bool found = ::lstat(name.c_str(), &existing) == 0;
    if (found && existing.st_dev == source.st_dev && existing.st_ino == source.st_ino && existing.st_nlink <= 1)
        return {};
    // A name that is certainly free needs no removal; any other answer may hide an entry.
    if (found || errno != ENOENT)
        ::unlink(name.c_str());
    return TFileDescriptor(::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, mode));
}

// Pieces may be read by whoever may read the source, and always by their owner.
mode_t PieceMode(const struct stat& sourceStatus)
{
    return (sourceStatus.st_mode & 0666) | S_IRUSR | S_IWUSR;
}

// One call of SplitFile: the source, the piece being written and where the loop stands.
class TSplitRun
{
public:
    TSplitRun(const TEngineHost& host, const TTransferSettings& settings, std::string sourcePath,
              std::int64_t pieceSize)
        : host_(host)
        , transfer_(settings)
        , sourcePath_(std::move(sourcePath))
        , pieceSize_(pieceSize)
    {
    }

    // The number of pieces written; 0 when the split failed or stopped.
    std::int64_t Run();

private:
    bool CopyPieces();
    bool StartNextPiece();
    bool FinishPiece();
    void AbandonPiece();
    void RemoveFinishedPieces();
    void TakeBack();

    const TEngineHost& host_;
    TFileTransfer transfer_;
    const std::string sourcePath_;
    const std::int64_t pieceSize_;
    TFileTimes times_;
    TFileDescriptor source_;
    struct stat sourceStatus_
    {};
    TFileDescriptor piece_;
    std::string pieceName_;
    std::int64_t pieceNumber_ = 1;
};

std::int64_t TSplitRun::Run()
{
    times_ = ReadFileTimes(sourcePath_);
    source_ = OpenSource(sourcePath_, sourceStatus_);
    if (!source_.IsOpen()) {
        ShowError(host_, "Die Datei " + sourcePath_ + " konnte nicht geöffnet werden.");
        return 0;
    }

    pieceNumber_ = 1;
    pieceName_ = PieceFileName(sourcePath_, pieceNumber_);
    LogLine(host_, pieceName_);
    piece_ = CreatePiece(pieceName_, PieceMode(sourceStatus_), sourceStatus_);
    if (!piece_.IsOpen()) {
        ShowError(host_, "Die Datei " + pieceName_ + " konnte nicht erstellt werden.");
        return 0;
    }
    transfer_.BeginFiles();
    if (!CopyPieces())
        return 0;
    // The last piece is closed, and so checked, before success is reported; it
    // gets the source's times only once the message has been confirmed.
    if (!FinishPiece())
        return 0;
    ShowInformation(host_, kSplitDoneCaption,
                    "Die Datei wurde in " + std::to_string(pieceNumber_) + " Teile aufgeteilt.");
    ApplyFileTimes(pieceName_, times_);
    return pieceNumber_;
}

// The copy loop: a transfer never crosses the end of a piece; a full piece is
// closed and the next one created before the end of the source is known, so a
// source whose length is a multiple of the piece size ends in an empty piece.
// Returns false when the split ended early (a failure, reported, or a stop).
bool TSplitRun::CopyPieces()
{
    std::int64_t count = 0;
    std::uint64_t done = 0;
    const auto total = static_cast<std::uint64_t>(sourceStatus_.st_size);
    const auto pieceCount = static_cast<std::int64_t>(total / static_cast<std::uint64_t>(pieceSize_)) + 1;
    TProgressGate progress(host_);
    for (;;) {
        const auto want = static_cast<std::size_t>(
            std::min<std::int64_t>(static_cast<std::int64_t>(transfer_.TransferSize()), pieceSize_ - count));
        const TTransferResult result = transfer_.Transfer(source_.Get(), piece_.Get(), want);
        if (result.Fault == TTransferFault::Read) {
            AbandonPiece();
            ShowError(host_, "Die Datei " + sourcePath_ + " konnte nicht gelesen werden.");
            return false;
        }
        if (result.Fault == TTransferFault::Write) {
            AbandonPiece();
            ShowError(host_, "Die Datei " + pieceName_ + " konnte nicht geschrieben werden.");
            return false;
        }
        count += static_cast<std::int64_t>(result.Bytes);
        done += result.Bytes;
        if (count >= pieceSize_) {
            // Set through the open file, which spares a second lookup of its name.
            ApplyFileTimes(piece_.Get(), times_);
            if (!FinishPiece() || !StartNextPiece())
                return false;
            count = 0;
        }
        // Asked once more at the end, so that a stop pressed in the last moment still counts.
        const bool goOn = result.Bytes == 0
                              ? progress.Finish({done, total, pieceNumber_, pieceNumber_})
                              : progress.KeepGoing({done, total, pieceNumber_, std::max(pieceCount, pieceNumber_)});
        if (!goOn) {
            TakeBack();
            return false;
        }
        if (result.Bytes == 0)
            return true;
    }
}

// A stopped split leaves no piece it wrote: every name it took, whether new
// or replaced, goes, so no part of it can be joined.
void TSplitRun::TakeBack()
{
    AbandonPiece();
    RemoveFinishedPieces();
    LogLine(host_, kSplitStopped);
}

bool TSplitRun::FinishPiece()
{
    if (!piece_.Close()) {
        ::unlink(pieceName_.c_str());
        ShowError(host_, "Die Datei " + pieceName_ + " konnte nicht geschrieben werden.");
        return false;
    }
    return true;
}

bool TSplitRun::StartNextPiece()
{
    ++pieceNumber_;
    pieceName_ = PieceFileName(sourcePath_, pieceNumber_);
    piece_ = CreatePiece(pieceName_, PieceMode(sourceStatus_), sourceStatus_);
    if (piece_.IsOpen()) {
        transfer_.BeginFiles();
        return true;
    }
    LogLine(host_, pieceName_);
    ShowError(host_, "Die Datei " + pieceName_ + " konnte nicht erstellt werden.");
    return false;
}

// An unfinished piece is removed, so that no series ever ends in a piece that
// looks complete but is not; the finished pieces stay.
void TSplitRun::AbandonPiece()
{
    piece_.Close();
    ::unlink(pieceName_.c_str());
}

// The pieces before the current one, all written by this run.
void TSplitRun::RemoveFinishedPieces()
{
    for (std::int64_t number = 1; number < pieceNumber_; ++number) {
        const std::string name = PieceFileName(sourcePath_, number);
        struct stat status
        {};
        if (::lstat(name.c_str(), &status) == 0 && S_ISREG(status.st_mode))
            ::unlink(name.c_str());
    }
}

}  // namespace

TSplitOperation::TSplitOperation(TEngineHost host, TTransferSettings transfer)
    : host_(std::move(host))
    , transfer_(transfer)
{
}

std::int64_t TSplitOperation::SplitFile(const std::string& sourcePath, std::int64_t pieceSize)
{
    const TRefreshOnExit refresh(host_);
    if (pieceSize < 1) {
        ShowError(host_, "Die Teilgröße muss mindestens 1 Byte betragen.");
        return 0;
    }
    TSplitRun run(host_, transfer_, sourcePath, pieceSize);
    return run.Run();
}
