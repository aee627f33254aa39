#include "EngineTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include <dirent.h>
#include <fcntl.h>
#include <linux/audit.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

std::string TemporaryFolder()
{
    const char* base = std::getenv("TMPDIR");
    return base && *base ? base : "/tmp";
}

}  // namespace

TTempDir::TTempDir()
    : TTempDir(TemporaryFolder())
{
}

TTempDir::TTempDir(const std::string& base)
{
    std::string pattern = base + "/parzello-engine-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr)
        ADD_FAILURE() << "mkdtemp failed";
    path_ = pattern;
}

TTempDir::~TTempDir()
{
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::vector<std::string> TTempDir::Names() const
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(path_))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string PatternBytes(std::size_t size, unsigned seed)
{
    std::string bytes(size, '\0');
    std::uint32_t state = seed * 2654435761u + 1;
    for (auto& byte : bytes) {
        state = state * 1664525u + 1013904223u;
        byte = static_cast<char>(state >> 24);
    }
    return bytes;
}

void WriteFileBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(out.good()) << path;
}

std::string ReadFileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    std::string bytes(static_cast<std::size_t>(std::max<std::streamoff>(in.tellg(), 0)), '\0');
    in.seekg(0);
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return bytes;
}

bool PathExists(const std::string& path)
{
    struct stat status
    {};
    return ::lstat(path.c_str(), &status) == 0;
}

std::string FastFileSystemFolder()
{
    return ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : TemporaryFolder();
}

struct stat StatOf(const std::string& path)
{
    struct stat status
    {};
    EXPECT_EQ(::stat(path.c_str(), &status), 0) << path;
    return status;
}

void SetFileTimes(const std::string& path, std::int64_t accessSeconds, std::int64_t modificationSeconds)
{
    const timespec times[2] = {{accessSeconds, 0}, {modificationSeconds, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0) << path;
}

TEngineHost TRecordingHost::Host()
{
    TEngineHost host;
    host.Log = [this](const std::string& line) {
        Logs.push_back(line);
        Events.push_back("LOG " + line);
    };
    host.ShowMessage = [this](TBoxIcon icon, const std::string& caption, const std::string& text) {
        const TShownBox box{icon, caption, text};
        Boxes.push_back(box);
        Events.push_back("BOX " + caption + ": " + text);
        if (OnBox)
            OnBox(box);
        return icon == TBoxIcon::Question ? QuestionAnswer : TBoxAnswer::Ok;
    };
    host.RefreshList = [this] {
        ++Refreshes;
        Events.push_back("REFRESH");
    };
    if (OnProgress)
        host.Progress = [this](const TProgressReport& report) { return OnProgress(report.Done, report.Total); };
    if (OnReport)
        host.Progress = [this](const TProgressReport& report) { return OnReport(report); };
    host.ProgressInterval = ProgressInterval;
    return host;
}

void RunWithoutKernelCopy(int error, const std::function<void()>& work)
{
    std::thread thread([&] {
        // A seccomp filter binds only the thread that installs it.
        sock_filter program[] = {
            BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, arch)),
            BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, AUDIT_ARCH_X86_64, 0, 3),
            BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
            BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, SYS_copy_file_range, 0, 1),
            BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | (static_cast<unsigned>(error) & SECCOMP_RET_DATA)),
            BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
        };
        const sock_fprog filter{static_cast<unsigned short>(std::size(program)), program};
        const bool installed =
            ::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0 && ::prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &filter) == 0;
        EXPECT_TRUE(installed) << "cannot keep copy_file_range from this thread";
        if (installed)
            work();
    });
    thread.join();
}

std::size_t CachedPages(const std::string& path)
{
    const struct stat status = StatOf(path);
    if (status.st_size == 0)
        return 0;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    const auto length = static_cast<std::size_t>(status.st_size);
    void* map = ::mmap(nullptr, length, PROT_READ, MAP_SHARED, fd, 0);
    ::close(fd);
    if (map == MAP_FAILED)
        return 0;
    const std::size_t page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    std::vector<unsigned char> resident((length + page - 1) / page);
    ::mincore(map, length, resident.data());
    ::munmap(map, length);
    return static_cast<std::size_t>(
        std::count_if(resident.begin(), resident.end(), [](unsigned char r) { return r & 1; }));
}

int RunCommandIn(const std::string& folder, const std::vector<std::string>& argv, std::string* output)
{
    std::vector<char*> args;
    for (const std::string& arg : argv)
        args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0)
        return -1;
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int quiet = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (::chdir(folder.c_str()) != 0 || ::dup2(pipeFds[1], STDOUT_FILENO) < 0 || ::dup2(quiet, STDERR_FILENO) < 0)
            ::_exit(127);
        ::execvp(args[0], args.data());
        ::_exit(127);
    }
    ::close(pipeFds[1]);
    std::string read;
    char buffer[4096];
    for (ssize_t got; (got = ::read(pipeFds[0], buffer, sizeof buffer)) != 0;) {
        if (got < 0 && errno != EINTR)
            break;
        if (got > 0)
            read.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(pipeFds[0]);
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid)
        return -1;
    if (output)
        *output = read;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int RunInChild(const std::function<void()>& work)
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        work();
        ::_exit(0);
    }
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid)
        ADD_FAILURE() << "cannot run the child process";
    return status;
}

bool HasTemporaryFileOf(const std::string& folder, const std::string& name)
{
    const std::string prefix = "." + name + ".parzello-";
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        const std::string entryName = entry.path().filename().string();
        if (entryName.size() == prefix.size() + 6 && entryName.rfind(prefix, 0) == 0)
            return true;
    }
    return false;
}
