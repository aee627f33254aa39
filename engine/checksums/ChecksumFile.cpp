#include "engine/checksums/ChecksumFile.h"

#include "engine/core/PathParts.h"
#include "engine/core/TFileDescriptor.h"
#include "engine/pieces/PieceNaming.h"

#include <algorithm>
#include <charconv>
#include <cerrno>
#include <fstream>
#include <limits>
#include <string_view>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// What the first line of a checksum file of ours starts with.
constexpr std::string_view kMarker = "# Parzello:";
// Lines are collected to about this much before they are written.
constexpr std::size_t kWriteChunk = 64 * 1024;
// Digests reserved ahead when reading; a count from a damaged file must not reserve gigabytes.
constexpr std::int64_t kMaxReserved = 65536;

std::string Counted(std::uint64_t count, const char* one, const char* many)
{
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

std::string HeaderLine(const TSeriesChecksums& checksums)
{
    return std::string(kMarker) + " " + Counted(static_cast<std::uint64_t>(checksums.PieceCount), "Teil", "Teile") +
           " zu " + Counted(checksums.PieceSize, "Byte", "Bytes") + "\n";
}

// "<digest>  <name>" with sha256sum's escaping of the name.
void AppendDigestLine(std::string& text, const TSha256Digest& digest, const std::string& name)
{
    const bool escaped = name.find_first_of("\\\n\r") != std::string::npos;
    if (escaped)
        text += '\\';
    text += HexDigest(digest);
    text += "  ";
    for (const char c : name) {
        if (c == '\\')
            text += "\\\\";
        else if (c == '\n')
            text += "\\n";
        else if (c == '\r')
            text += "\\r";
        else
            text += c;
    }
    text += '\n';
}

[[nodiscard]] bool WriteAll(int fd, std::string_view data)
{
    while (!data.empty()) {
        const ssize_t written = ::write(fd, data.data(), data.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// Reads a decimal number at the start of text and moves past it.
std::optional<std::uint64_t> TakeNumber(std::string_view& text)
{
    std::uint64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end == text.data())
        return std::nullopt;
    text.remove_prefix(static_cast<std::size_t>(end - text.data()));
    return value;
}

[[nodiscard]] bool TakeWord(std::string_view& text, std::uint64_t count, std::string_view one, std::string_view many)
{
    const std::string_view word = count == 1 ? one : many;
    if (text.substr(0, word.size()) != word)
        return false;
    text.remove_prefix(word.size());
    return true;
}

// The piece count and size from "# Parzello: 5 Teile zu 1457664 Bytes".
[[nodiscard]] bool ParseHeader(std::string_view line, TSeriesChecksums& checksums)
{
    if (line.substr(0, kMarker.size()) != kMarker)
        return false;
    line.remove_prefix(kMarker.size());
    if (line.substr(0, 1) != " ")
        return false;
    line.remove_prefix(1);
    const auto count = TakeNumber(line);
    if (!count || *count < 1 || *count > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()) ||
        !TakeWord(line, *count, " Teil zu ", " Teile zu "))
        return false;
    const auto size = TakeNumber(line);
    if (!size || *size < 1 || !TakeWord(line, *size, " Byte", " Bytes") || !line.empty())
        return false;
    checksums.PieceCount = static_cast<std::int64_t>(*count);
    checksums.PieceSize = *size;
    return true;
}

// The digest of a line that names `name`, read as `sha256sum -c` reads it.
std::optional<TSha256Digest> ParseDigestLine(std::string_view line, const std::string& name)
{
    const bool escaped = !line.empty() && line.front() == '\\';
    if (escaped)
        line.remove_prefix(1);
    const auto digest = ParseHexDigest(line.substr(0, 64));
    if (!digest || line.size() < 66 || line[64] != ' ' || (line[65] != ' ' && line[65] != '*'))
        return std::nullopt;
    line.remove_prefix(66);
    std::string read;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (!escaped || line[i] != '\\') {
            read += line[i];
            continue;
        }
        if (++i == line.size())
            return std::nullopt;
        if (line[i] == '\\')
            read += '\\';
        else if (line[i] == 'n')
            read += '\n';
        else if (line[i] == 'r')
            read += '\r';
        else
            return std::nullopt;
    }
    if (read != name)
        return std::nullopt;
    return digest;
}

}  // namespace

std::string ChecksumFileName(const std::string& sourcePath)
{
    return sourcePath + ".sha256";
}

TChecksumFileKind ClassifyChecksumFile(const std::string& path)
{
    struct stat status
    {};
    if (::lstat(path.c_str(), &status) != 0)
        return errno == ENOENT ? TChecksumFileKind::Absent : TChecksumFileKind::Foreign;
    if (!S_ISREG(status.st_mode))
        return TChecksumFileKind::Foreign;
    const TFileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NOFOLLOW | O_NONBLOCK));
    char start[kMarker.size()];
    std::size_t got = 0;
    while (fd.IsOpen() && got < sizeof start) {
        const ssize_t bytes = ::read(fd.Get(), start + got, sizeof start - got);
        if (bytes < 0 && errno == EINTR)
            continue;
        if (bytes <= 0)
            break;
        got += static_cast<std::size_t>(bytes);
    }
    return std::string_view(start, got) == kMarker ? TChecksumFileKind::Ours : TChecksumFileKind::Foreign;
}

bool WriteChecksumFile(int fd, const std::string& sourcePath, const TSeriesChecksums& checksums)
{
    std::string text = HeaderLine(checksums);
    for (std::size_t i = 0; i < checksums.Pieces.size(); ++i) {
        AppendDigestLine(text, checksums.Pieces[i],
                         NameOfPath(PieceFileName(sourcePath, static_cast<std::int64_t>(i) + 1)));
        if (text.size() >= kWriteChunk) {
            if (!WriteAll(fd, text))
                return false;
            text.clear();
        }
    }
    AppendDigestLine(text, checksums.Whole, NameOfPath(sourcePath));
    return WriteAll(fd, text);
}

TChecksumFileRead ReadChecksumFile(const std::string& sourcePath)
{
    const std::string path = ChecksumFileName(sourcePath);
    if (ClassifyChecksumFile(path) != TChecksumFileKind::Ours)
        return {};
    std::ifstream in(path, std::ios::binary);
    TChecksumFileRead unusable;
    unusable.Problem = "Die Prüfsummendatei " + path + " ist beschädigt oder gehört zu einer anderen Datei.";
    TSeriesChecksums checksums;
    std::string line;
    bool readable = static_cast<bool>(std::getline(in, line)) && ParseHeader(line, checksums);
    checksums.Pieces.reserve(static_cast<std::size_t>(std::min(checksums.PieceCount, kMaxReserved)));
    for (std::int64_t number = 1; readable && number <= checksums.PieceCount; ++number) {
        const auto digest = std::getline(in, line)
                                ? ParseDigestLine(line, NameOfPath(PieceFileName(sourcePath, number)))
                                : std::nullopt;
        readable = digest.has_value();
        if (digest)
            checksums.Pieces.push_back(*digest);
    }
    const auto whole =
        readable && std::getline(in, line) ? ParseDigestLine(line, NameOfPath(sourcePath)) : std::nullopt;
    if (in.bad())
        unusable.Problem = "Die Prüfsummendatei " + path + " konnte nicht gelesen werden.";
    if (!whole || std::getline(in, line))
        return unusable;
    checksums.Whole = *whole;
    return {std::move(checksums), {}};
}
