#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

// What the split and the join need from whoever runs them: the window supplies
// its log memo, message boxes and list refresh; tests and the benchmark supply
// their own. Texts are UTF-8; paths inside them are the file names' own bytes.

enum class TBoxIcon { Error, Information, Question, Warning };

// A question box (TBoxIcon::Question) has Yes and No; every other box has OK.
enum class TBoxAnswer { Ok, Yes, No };

// Where a split or a join stands.
struct TProgressReport
{
    std::uint64_t Done = 0;       // bytes copied so far
    std::uint64_t Total = 0;      // bytes in all
    std::int64_t Piece = 0;       // the piece being written (split) or read (join), from 1
    std::int64_t PieceCount = 0;  // the pieces in all
};

// How often progress reaches an observer at most: the window shows it at this pace.
constexpr std::chrono::milliseconds kProgressInterval{50};  // 20 a second: smooth to the eye, nothing to the copy

struct TEngineHost
{
    std::function<void(const std::string& line)> Log;
    std::function<TBoxAnswer(TBoxIcon icon, const std::string& caption, const std::string& text)> ShowMessage;
    std::function<void()> RefreshList;
    // Optional. Called between transfers, at most once per ProgressInterval
    // (0: after every transfer); returning false asks the work to stop.
    std::function<bool(const TProgressReport& report)> Progress;
    std::chrono::nanoseconds ProgressInterval = kProgressInterval;
};

// How the bytes move; the defaults are the program's measured choice.
struct TTransferSettings
{
    enum class TMethod { Buffer, KernelCopy };
    // measured, 512 MiB on ext4 in default pieces: split 0.78x coreutils' time against 1.38x by the buffer
    TMethod Method = TMethod::KernelCopy;
    std::size_t TransferSize = 0;  // 0: the method's measured default
};
