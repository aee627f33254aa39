#pragma once

// Owns one open file descriptor and closes it when it goes out of scope.
// Move-only; a negative value means none.
class TFileHandle
{
public:
    TFileHandle() = default;
    explicit TFileHandle(int fd)
        : fd_(fd)
    {
    }
    ~TFileHandle();
    TFileHandle(TFileHandle&& other) noexcept;
    TFileHandle& operator=(TFileHandle&& other) noexcept;
    TFileHandle(const TFileHandle&) = delete;
    TFileHandle& operator=(const TFileHandle&) = delete;

    int Get() const { return fd_; }
    bool IsValid() const { return fd_ >= 0; }

    // Gives up ownership without closing.
    [[nodiscard]] int Release();
    // Closes the descriptor held now and takes `fd`.
    void Reset(int fd = -1);
    // Closes now and reports close's own failure (a write error that
    // only shows on close, as on NFS), 0 when it succeeded or nothing was open.
    [[nodiscard]] int Close();

private:
    int fd_ = -1;
};
