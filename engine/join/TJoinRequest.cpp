#include "engine/join/TJoinRequest.h"

#include "engine/host/EngineMessages.h"
#include "engine/core/IntegerConversion.h"
#include "engine/pieces/PieceNaming.h"
#include "engine/join/TJoiner.h"

#include <utility>

namespace {

constexpr const char* kNotAPiece = "Diese Datei ist kein Teil einer von diesem Programm geteilten Datei.";

}  // namespace

TJoinRequest::TJoinRequest(TEngineHost host, TTransferSettings transfer)
    : host_(std::move(host))
    , transfer_(transfer)
{
}

std::string TJoinRequest::ExtensionOf(const std::string& path)
{
    const auto dot = path.rfind('.');
    const auto slash = path.rfind('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return {};
    return path.substr(dot);
}

std::optional<TJoinRequest::TParsedPiece> TJoinRequest::ParsePickedPath(const std::string& pickedPath)
{
    const std::string extension = ExtensionOf(pickedPath);
    TParsedPiece parsed;
    parsed.BasePath = pickedPath.substr(0, pickedPath.size() - extension.size());
    parsed.NumberText = extension.empty() ? std::string() : extension.substr(1);
    const std::optional<std::int32_t> number = TryStrToInt(parsed.NumberText);
    if (!number)
        return std::nullopt;
    parsed.Number = *number;
    return parsed;
}

bool TJoinRequest::CombineFile(const std::string& pickedPath)
{
    const std::optional<TParsedPiece> parsed = ParsePickedPath(pickedPath);
    // Names the conversion accepts but this program never writes (".-2", ". 7",
    // ".$1F") name no piece of a series either, so they get the same answer.
    if (!parsed || parsed->Number < 1 || PieceFileName(parsed->BasePath, parsed->Number) != pickedPath) {
        ShowError(host_, kNotAPiece);
        return false;
    }
    TJoiner joiner(host_, transfer_);
    return joiner.JoinFile(parsed->BasePath);
}
