#include "engine/host/EngineMessages.h"

void ShowError(const TEngineHost& host, const std::string& text)
{
    if (host.ShowMessage)
        host.ShowMessage(TBoxIcon::Error, kErrorCaption, text);
}

void ShowInformation(const TEngineHost& host, const std::string& caption, const std::string& text)
{
    if (host.ShowMessage)
        host.ShowMessage(TBoxIcon::Information, caption, text);
}

bool AskYesNo(const TEngineHost& host, const std::string& caption, const std::string& text)
{
    return host.ShowMessage && host.ShowMessage(TBoxIcon::Question, caption, text) == TBoxAnswer::Yes;
}

void LogLine(const TEngineHost& host, const std::string& line)
{
    if (host.Log)
        host.Log(line);
}

TRefreshOnExit::~TRefreshOnExit()
{
    if (host_.RefreshList)
        host_.RefreshList();
}
