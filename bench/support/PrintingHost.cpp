#include "bench/support/PrintingHost.h"

const char* BoxIconName(TBoxIcon icon)
{
    switch (icon) {
    case TBoxIcon::Error: return "error";
    case TBoxIcon::Information: return "information";
    case TBoxIcon::Question: return "question";
    case TBoxIcon::Warning: return "warning";
    }
    return "unknown";
}

std::string EscapeField(const std::string& text)
{
    std::string escaped;
    escaped.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '\\': escaped += "\\\\"; break;
        case '\t': escaped += "\\t"; break;
        case '\n': escaped += "\\n"; break;
        default: escaped += c;
        }
    }
    return escaped;
}

TEngineHost MakePrintingHost(std::ostream& out, TBoxAnswer questionAnswer)
{
    TEngineHost host;
    // Each record is flushed at once so that a reader sees it before the
    // engine goes on (and before a crash would swallow it).
    host.Log = [&out](const std::string& line) { out << "LOG\t" << EscapeField(line) << std::endl; };
    host.ShowMessage = [&out, questionAnswer](TBoxIcon icon, const std::string& caption, const std::string& text) {
        out << "BOX\t" << BoxIconName(icon) << '\t' << EscapeField(caption) << '\t' << EscapeField(text) << std::endl;
        return icon == TBoxIcon::Question ? questionAnswer : TBoxAnswer::Ok;
    };
    host.RefreshList = [&out] { out << "REFRESH" << std::endl; };
    return host;
}
