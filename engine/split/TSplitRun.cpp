#include "engine/split/TSplitRun.h"

#include "engine/checksums/ChecksumFile.h"
#include "engine/core/FileSync.h"
#include "engine/core/PathParts.h"
#include "engine/host/EngineMessages.h"
#include "engine/pieces/PieceNaming.h"
#include "engine/pieces/StalePieces.h"
#include "engine/split/SplitPrechecks.h"

#include <algorithm>
#include <cerrno>
#include <utility>

#include <fcntl.h>
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
// name and keeps its data. A directory of that name cannot be had, and neither
// can a name that is the last one the source's data has (the source reached
// through a symbolic link), which must not be taken from it.
bool FreePieceName(const std::string& name, const struct stat& source)
{
    struct stat existing
    {};
    if (::lstat(name.c_str(), &existing) != 0)
        return errno == ENOENT;
    if (existing.st_dev == source.st_dev && existing.st_ino == source.st_ino && existing.st_nlink <= 1)
        return false;
    return ::unlink(name.c_str()) == 0;
}

TFileDescriptor CreatePiece(const std::string& name, mode_t mode, const struct stat& source)
{
    if (!FreePieceName(name, source))
        return {};
    return TFileDescriptor(::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, mode));
}

// Pieces may be read by whoever may read the source, and always by their owner.
mode_t PieceMode(const struct stat& sourceStatus)
{
    return (sourceStatus.st_mode & 0666) | S_IRUSR | S_IWUSR;
}

std::string CreateFailed(const std::string& name)
{
    return "Die Datei " + name + " konnte nicht erstellt werden.";
}

}  // namespace

TSplitRun::TSplitRun(const TEngineHost& host, const TTransferSettings& settings, std::string sourcePath,
                     std::int64_t pieceSize)
    : host_(host)
    , transfer_(settings)
    , progress_(host)
    , sourcePath_(std::move(sourcePath))
    , pieceSize_(pieceSize)
{
}

TSplitRun::~TSplitRun() = default;

std::int64_t TSplitRun::Run()
{
    times_ = ReadFileTimes(sourcePath_);
    source_ = OpenSource(sourcePath_, sourceStatus_);
    if (!source_.IsOpen()) {
        ShowError(host_, "Die Datei " + sourcePath_ + " konnte nicht geöffnet werden.");
        return 0;
    }
    // Before any name is taken: a medium that cannot hold the pieces is named at once.
    const std::string problem =
        SplitTargetProblem(FolderOfPath(sourcePath_), pieceSize_, static_cast<std::uint64_t>(sourceStatus_.st_size));
    if (!problem.empty()) {
        ShowError(host_, problem);
        return 0;
    }
    pieceName_ = PieceFileName(sourcePath_, 1);
    LogLine(host_, pieceName_);
    if (!StartFirstPiece()) {
        ShowError(host_, CreateFailed(pieceName_));
        return 0;
    }
    digest_ = std::make_unique<TReadBackDigest>(source_.Get());
    if (!CopyPieces() || !Complete())
        return 0;
    RemoveOlderPieces();
    ShowInformation(host_, kSplitDoneCaption,
                    "Die Datei wurde in " + std::to_string(pieceNumber_) + " Teile aufgeteilt.");
    // The last piece gets the source's times only once the message has been confirmed.
    ApplyFileTimes(pieceName_, times_);
    return pieceNumber_;
}

// An old piece 1 goes before the first byte is written, and the new one gets
// its name only at the end.
bool TSplitRun::StartFirstPiece()
{
    if (!FreePieceName(pieceName_, sourceStatus_))
        return false;
    firstPiece_.emplace(pieceName_);
    if (!firstPiece_->IsOpen())
        return false;
    ::fchmod(firstPiece_->Fd(), PieceMode(sourceStatus_));
    piece_ = firstPiece_->ReleaseFd();
    transfer_.BeginFiles();
    return true;
}

// The copy loop: a transfer never crosses the end of a piece; a full piece is
// closed and the next one created before the end of the source is known, so a
// source whose length is a multiple of the piece size ends in an empty piece.
// Returns false when the split ended early (a failure, reported, or a stop).
bool TSplitRun::CopyPieces()
{
    std::int64_t count = 0;
    const auto total = static_cast<std::uint64_t>(sourceStatus_.st_size);
    const auto pieceCount = static_cast<std::int64_t>(total / static_cast<std::uint64_t>(pieceSize_)) + 1;
    for (;;) {
        const auto want = static_cast<std::size_t>(
            std::min<std::int64_t>(static_cast<std::int64_t>(transfer_.TransferSize()), pieceSize_ - count));
        const TTransferResult result = transfer_.Transfer(source_.Get(), piece_.Get(), want);
        if (result.Fault == TTransferFault::Read)
            return Fail(ReadFailed());
        if (result.Fault == TTransferFault::Write)
            return Fail(WriteFailed(pieceName_));
        count += static_cast<std::int64_t>(result.Bytes);
        done_ += result.Bytes;
        if (!digest_->Advance(done_))
            return Fail(ReadFailed());
        if (result.Bytes == 0)
            return FinishPiece(true, count);
        if (count >= pieceSize_) {
            if (!FinishPiece(false, count) || !StartNextPiece())
                return false;
            count = 0;
        }
        if (!progress_.KeepGoing({done_, total, pieceNumber_, std::max(pieceCount, pieceNumber_)}))
            return Stop();
    }
}

// A full piece gets the source's times through its open file, which spares a
// second lookup of its name; the last one gets them after the message. Each
// goes to the flusher, which writes it to disk while the copy goes on.
bool TSplitRun::FinishPiece(bool isLast, std::int64_t bytes)
{
    digest_->EndSection();
    if (!isLast)
        static_cast<void>(ApplyFileTimes(piece_.Get(), times_));  // a courtesy, as for the join
    if (!flusher_.Hand(std::move(piece_), pieceName_, static_cast<std::uint64_t>(bytes)))
        return Fail(WriteFailed(flusher_.FailedName()));
    return true;
}

bool TSplitRun::StartNextPiece()
{
    ++pieceNumber_;
    pieceName_ = PieceFileName(sourcePath_, pieceNumber_);
    piece_ = CreatePiece(pieceName_, PieceMode(sourceStatus_), sourceStatus_);
    if (!piece_.IsOpen()) {
        LogLine(host_, pieceName_);
        return Fail(CreateFailed(pieceName_));
    }
    createdPieces_ = pieceNumber_;
    transfer_.BeginFiles();
    return true;
}

// Makes the series durable and final: every piece on disk, the checksum file
// beside them, then piece 1 renamed into place, and each step's names flushed
// with their folder before the next.
bool TSplitRun::Complete()
{
    if (!flusher_.Finish())
        return Fail(WriteFailed(flusher_.FailedName()));
    if (!digest_->Finish())
        return Fail(ReadFailed());
    // Asked once more before the result is final, so that a stop pressed in the last moment still counts.
    if (!progress_.Finish({done_, done_, pieceNumber_, pieceNumber_}))
        return Stop();
    if (!WriteChecksums())
        return false;
    const std::string folder = FolderOfPath(sourcePath_);
    const std::string firstName = PieceFileName(sourcePath_, 1);
    if (!SyncFolder(folder))
        return Fail(WriteFailed(firstName));
    if (!firstPiece_->RenameIntoPlace())
        return Fail(CreateFailed(firstName));
    committed_ = true;
    if (!SyncFolder(folder))
        return Fail(WriteFailed(firstName));
    return true;
}

// The checksum file replaces one of ours from an earlier series, but never a
// file of that name that the program did not write.
bool TSplitRun::WriteChecksums()
{
    const std::string path = ChecksumFileName(sourcePath_);
    if (ClassifyChecksumFile(path) == TChecksumFileKind::Foreign) {
        LogLine(host_,
                "Keine Prüfsummendatei geschrieben: " + path + " stammt nicht von Parzello und bleibt, wie sie ist.");
        return true;
    }
    TSeriesChecksums checksums;
    checksums.PieceCount = pieceNumber_;
    checksums.PieceSize = static_cast<std::uint64_t>(pieceSize_);
    checksums.Pieces = digest_->TakeSections();
    checksums.Whole = digest_->Whole();
    TTemporaryFile file(path);
    if (!file.IsOpen())
        return Fail(CreateFailed(path));
    ::fchmod(file.Fd(), PieceMode(sourceStatus_));
    if (!WriteChecksumFile(file.Fd(), sourcePath_, checksums) || !SyncFileData(file.Fd()) || !file.Close())
        return Fail(WriteFailed(path));
    if (!file.RenameIntoPlace())
        return Fail(CreateFailed(path));
    checksumsWritten_ = true;
    return true;
}

// Pieces numbered after the new series are left from an earlier split of a
// file of that name; a join would take them for part of this one.
void TSplitRun::RemoveOlderPieces()
{
    for (const std::string& name : RemoveStalePieces(sourcePath_, pieceNumber_))
        LogLine(host_, "Alter Teil gelöscht: " + name);
}

bool TSplitRun::Fail(const std::string& text)
{
    TakeBack();
    ShowError(host_, text);
    return false;
}

bool TSplitRun::Stop()
{
    TakeBack();
    LogLine(host_, kSplitStopped);
    return false;
}

// Every name this run took goes, whether new or replaced, so no part of it can
// be joined; older pieces numbered after the ones it reached, and the source,
// stay as they were.
void TSplitRun::TakeBack()
{
    piece_ = TFileDescriptor();
    flusher_.Abandon();
    firstPiece_.reset();
    if (committed_)
        ::unlink(PieceFileName(sourcePath_, 1).c_str());
    for (std::int64_t number = 2; number <= createdPieces_; ++number)
        ::unlink(PieceFileName(sourcePath_, number).c_str());
    if (checksumsWritten_)
        ::unlink(ChecksumFileName(sourcePath_).c_str());
}

std::string TSplitRun::ReadFailed() const
{
    return "Die Datei " + sourcePath_ + " konnte nicht gelesen werden.";
}

std::string TSplitRun::WriteFailed(const std::string& name) const
{
    return "Die Datei " + name + " konnte nicht geschrieben werden.";
}
