#include "engine/join/TJoinVerifier.h"

#include "engine/checksums/ChecksumFile.h"
#include "engine/pieces/TPieceSeries.h"

#include <utility>

TJoinVerifier::TJoinVerifier(const TSeriesChecksums& checksums, const TPieceSeries& series, std::string basePath,
                             int fd)
    : checksums_(checksums)
    , series_(series)
    , basePath_(std::move(basePath))
    , digest_(fd)
{
}

bool TJoinVerifier::Advance(std::uint64_t written)
{
    if (!digest_.Advance(written)) {
        problem_ = "Die Datei " + basePath_ + " konnte nicht geschrieben werden.";
        return false;
    }
    return CompareDone();
}

void TJoinVerifier::EndPiece()
{
    digest_.EndSection();
}

std::uint64_t TJoinVerifier::Checked()
{
    return digest_.Hashed();
}

bool TJoinVerifier::Finish()
{
    if (!digest_.Finish()) {
        problem_ = "Die Datei " + basePath_ + " konnte nicht geschrieben werden.";
        return false;
    }
    if (!CompareDone())
        return false;
    if (digest_.Whole() != checksums_.Whole) {
        problem_ = "Die zusammengefügte Datei " + basePath_ + " stimmt nicht mit ihrer Prüfsumme überein.";
        return false;
    }
    return true;
}

std::string TJoinVerifier::Passed() const
{
    const std::size_t count = series_.Pieces().size();
    return "Prüfsummen geprüft: " + (count == 1 ? std::string("1 Teil") : std::to_string(count) + " Teile") +
           " in Ordnung.";
}

// The pieces whose digests are done since the last call, in order.
bool TJoinVerifier::CompareDone()
{
    for (const std::size_t done = digest_.SectionsDone(); compared_ < done; ++compared_) {
        if (digest_.Section(compared_) != checksums_.Pieces.at(compared_)) {
            problem_ =
                "Der Teil " + series_.Pieces().at(compared_).Name + " ist beschädigt: seine Prüfsumme stimmt nicht.";
            return false;
        }
    }
    return true;
}
