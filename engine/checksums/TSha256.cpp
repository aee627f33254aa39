#include "engine/checksums/TSha256.h"

#include "engine/core/IntegerConversion.h"

#include <openssl/evp.h>

void TSha256::TFree::operator()(evp_md_ctx_st* context) const
{
    EVP_MD_CTX_free(context);
}

TSha256::TSha256()
    : context_(EVP_MD_CTX_new())
{
    ok_ = context_ && EVP_DigestInit_ex(context_.get(), EVP_sha256(), nullptr) == 1;
}

TSha256::~TSha256() = default;

bool TSha256::Update(const void* data, std::size_t size)
{
    ok_ = ok_ && EVP_DigestUpdate(context_.get(), data, size) == 1;
    return ok_;
}

std::optional<TSha256Digest> TSha256::Final()
{
    TSha256Digest digest{};
    unsigned int length = 0;
    ok_ = ok_ && EVP_DigestFinal_ex(context_.get(), digest.data(), &length) == 1 && length == digest.size();
    const bool done = ok_;
    ok_ = ok_ && EVP_DigestInit_ex(context_.get(), EVP_sha256(), nullptr) == 1;
    if (!done)
        return std::nullopt;
    return digest;
}

std::string HexDigest(const TSha256Digest& digest)
{
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text;
    text.reserve(digest.size() * 2);
    for (const unsigned char byte : digest) {
        text.push_back(kDigits[byte >> 4]);
        text.push_back(kDigits[byte & 0x0F]);
    }
    return text;
}

std::optional<TSha256Digest> ParseHexDigest(std::string_view text)
{
    TSha256Digest digest{};
    if (text.size() != digest.size() * 2)
        return std::nullopt;
    for (std::size_t i = 0; i < digest.size(); ++i) {
        const int high = HexDigitValue(text[2 * i]);
        const int low = HexDigitValue(text[2 * i + 1]);
        if (high < 0 || low < 0)
            return std::nullopt;
        digest[i] = static_cast<unsigned char>(high * 16 + low);
    }
    return digest;
}
