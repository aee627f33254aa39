#pragma once

#include <array>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

using TSha256Digest = std::array<unsigned char, 32>;

struct evp_md_ctx_st;

// SHA-256 by OpenSSL's libcrypto, which uses the processor's SHA instructions
// where there are any.
class TSha256
{
public:
    TSha256();
    ~TSha256();
    TSha256(const TSha256&) = delete;
    TSha256& operator=(const TSha256&) = delete;

    [[nodiscard]] bool Update(const void* data, std::size_t size);
    // The digest of everything given since the last one; starts anew. Nothing
    // once the library has failed.
    [[nodiscard]] std::optional<TSha256Digest> Final();

private:
    struct TFree
    {
        void operator()(evp_md_ctx_st* context) const;
    };
    std::unique_ptr<evp_md_ctx_st, TFree> context_;
    bool ok_ = false;
};

// The 64 lower-case hexadecimal digits that sha256sum writes.
std::string HexDigest(const TSha256Digest& digest);
// Reads them back, in either case; nothing for anything else.
std::optional<TSha256Digest> ParseHexDigest(std::string_view text);
