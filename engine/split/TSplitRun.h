#pragma once

#include "engine/checksums/TReadBackDigest.h"
#include "engine/core/FileTimes.h"
#include "engine/core/TFileDescriptor.h"
#include "engine/core/TTemporaryFile.h"
#include "engine/host/TEngineHost.h"
#include "engine/host/TProgressGate.h"
#include "engine/transfer/TFileFlusher.h"
#include "engine/transfer/TFileTransfer.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include <sys/stat.h>

// One call of SplitFile: the source, the piece being written and where the
// loop stands. Every piece is flushed to disk and hashed while the split goes
// on, and the checksum file is written beside them. Piece 1 is written under a
// temporary name and renamed into place last, once everything else is on
// disk: until then the series has no piece 1, so a split that fails, stops or
// is killed leaves nothing that joins. A failure or a stop takes back every
// piece the run wrote.
class TSplitRun
{
public:
    TSplitRun(const TEngineHost& host, const TTransferSettings& settings, std::string sourcePath,
              std::int64_t pieceSize);
    ~TSplitRun();
    TSplitRun(const TSplitRun&) = delete;
    TSplitRun& operator=(const TSplitRun&) = delete;

    // The number of pieces written; 0 when the split failed or stopped.
    std::int64_t Run();

private:
    [[nodiscard]] bool StartFirstPiece();
    [[nodiscard]] bool CopyPieces();
    [[nodiscard]] bool FinishPiece(bool isLast, std::int64_t bytes);
    [[nodiscard]] bool StartNextPiece();
    [[nodiscard]] bool Complete();
    [[nodiscard]] bool WriteChecksums();
    void RemoveOlderPieces();
    [[nodiscard]] bool Fail(const std::string& text);
    [[nodiscard]] bool Stop();
    void TakeBack();
    std::string ReadFailed() const;
    std::string WriteFailed(const std::string& name) const;

    const TEngineHost& host_;
    TFileTransfer transfer_;
    TProgressGate progress_;
    const std::string sourcePath_;
    const std::int64_t pieceSize_;
    TFileTimes times_;
    TFileDescriptor source_;
    struct stat sourceStatus_
    {};
    std::unique_ptr<TReadBackDigest> digest_;  // reads the source, so it goes before it
    std::optional<TTemporaryFile> firstPiece_;
    TFileFlusher flusher_;
    TFileDescriptor piece_;
    std::string pieceName_;
    std::int64_t pieceNumber_ = 1;
    std::int64_t createdPieces_ = 0;  // pieces 2 onward that this run created
    std::uint64_t done_ = 0;
    bool checksumsWritten_ = false;
    bool committed_ = false;
};
