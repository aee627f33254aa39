#pragma once

#include <ostream>
#include <string>

#include "engine/host/TEngineHost.h"

// A host that prints what the engine says, one record a line:
//   LOG<TAB>text
//   BOX<TAB>icon<TAB>caption<TAB>text     icon: error, information, question, warning
//   REFRESH
// Backslash, tab and newline inside a field are written as \\, \t and \n, so a
// record is always one line. A question is answered with questionAnswer.
TEngineHost MakePrintingHost(std::ostream& out, TBoxAnswer questionAnswer);

// The icon's name in a BOX record.
const char* BoxIconName(TBoxIcon icon);

// A field with backslash, tab and newline escaped as above.
std::string EscapeField(const std::string& text);
