#pragma once

#include <cstdint>

// The result of a namespace operation, shaped like the shell's result codes:
// success or an errno value, and for comparisons a signed order in the low 16 bits
// of the code (negative: first before second, 0: same item, positive: after).
class [[nodiscard]] TShellResult
{
public:
    static TShellResult Ok() { return TShellResult(0); }
    static TShellResult Order(int order)
    {
        const std::int16_t clamped = order < 0 ? -1 : (order > 0 ? 1 : 0);
        return TShellResult(static_cast<std::uint16_t>(clamped));
    }
    // Failures carry the errno value in the low 16 bits under a failure tag.
    static TShellResult Fail(int errnoValue)
    {
        return TShellResult(static_cast<std::int32_t>(kFailureTag | (static_cast<std::uint32_t>(errnoValue) & 0xFFFF)));
    }

    bool Succeeded() const { return code_ >= 0; }
    bool Failed() const { return code_ < 0; }
    std::int32_t Code() const { return code_; }
    // The signed order of a comparison: short(Code()).
    std::int16_t OrderValue() const { return static_cast<std::int16_t>(code_ & 0xFFFF); }
    // The errno value of a failure, 0 on success.
    int Error() const { return Failed() ? static_cast<int>(code_ & 0xFFFF) : 0; }

private:
    static constexpr std::uint32_t kFailureTag = 0x80070000u;

    explicit TShellResult(std::int32_t code)
        : code_(code)
    {
    }

    std::int32_t code_;
};
