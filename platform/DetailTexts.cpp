#include "platform/DetailTexts.h"

QString FormatSizeText(std::uint64_t) { return {}; }
QString FormatDateText(std::time_t) { return {}; }
QString FormatDateText(const struct timespec&) { return {}; }
QString FileTypeText(const std::string&, bool) { return {}; }
