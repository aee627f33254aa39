#include "bench/support/QuietHost.h"

#include <stdexcept>

#include "bench/support/PrintingHost.h"

TEngineHost MakeQuietHost(TQuietReport& report)
{
    TEngineHost host;
    host.Log = [](const std::string&) {};
    host.ShowMessage = [&report](TBoxIcon icon, const std::string& caption, const std::string& text) {
        report.Boxes.push_back(std::string(BoxIconName(icon)) + ": " + caption + ": " + text);
        report.Asked = report.Asked || icon == TBoxIcon::Question;
        report.Failed = report.Failed || icon == TBoxIcon::Error || icon == TBoxIcon::Warning;
        report.Finished = report.Finished || icon == TBoxIcon::Information;
        return icon == TBoxIcon::Question ? TBoxAnswer::No : TBoxAnswer::Ok;
    };
    host.RefreshList = [] {};
    return host;
}

void RequireSuccess(const TQuietReport& report, const std::string& what)
{
    if (report.Finished && !report.Asked && !report.Failed)
        return;
    std::string message = what + " did not finish cleanly";
    for (const std::string& box : report.Boxes)
        message += "\n  " + box;
    throw std::runtime_error(message);
}
