#include "platform/core/files/TFolderSizeCounter.h"

#include <cstdlib>
#include <memory>

TFolderSizeCounter::TFolderSizeCounter(std::vector<std::string> folders)
    : folders_(std::move(folders))
    , thread_([this](std::stop_token stop) { Run(stop); })
{
}

TFolderSizeCounter::~TFolderSizeCounter() = default;

TFolderSizeCounter::TTotals TFolderSizeCounter::Totals() const
{
    const std::lock_guard lock(mutex_);
    return totals_;
}

void TFolderSizeCounter::Run(std::stop_token stop)
{
    TFolderSizeWalker walker([&stop] { return stop.stop_requested(); },
                             [this](const TFolderSizeWalker::TTotals& sofar) { Publish(sofar, false); });
    for (const std::string& folder : folders_) {
        // realpath: the chosen folder may be a link; the walker follows none.
        const std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(folder.c_str(), nullptr), &std::free);
        if (resolved)
            walker.AddContents(resolved.get());
    }
    Publish(walker.Totals(), !walker.Stopped() && !stop.stop_requested());
}

void TFolderSizeCounter::Publish(const TFolderSizeWalker::TTotals& sofar, bool done)
{
    const std::lock_guard lock(mutex_);
    static_cast<TFolderSizeWalker::TTotals&>(totals_) = sofar;
    totals_.done = done;
}
