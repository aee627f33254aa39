#pragma once

// Owns one open file descriptor and closes it when it goes out of scope.
class TFileDescriptor
{
public:
    TFileDescriptor() = default;
    explicit TFileDescriptor(int fd);
    ~TFileDescriptor();

    TFileDescriptor(TFileDescriptor&& other) noexcept;
    TFileDescriptor& operator=(TFileDescriptor&& other) noexcept;
    TFileDescriptor(const TFileDescriptor&) = delete;
    TFileDescriptor& operator=(const TFileDescriptor&) = delete;

    int Get() const { return fd_; }
    bool IsOpen() const { return fd_ >= 0; }

    // Closes now and tells whether the kernel reported success; a failed close
    // can be the first sign that written data did not reach the file.
    [[nodiscard]] bool Close();

private:
    int fd_ = -1;
};
