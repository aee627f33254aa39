#include "platform/NaturalCompare.h"

int NaturalCompare(std::string_view a, std::string_view b) { return a.compare(b); }
