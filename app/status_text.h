#pragma once

#include <QString>

#include "platform/status.h"

// The text the window shows for a failure of the core (a load, an export, a written file, a
// filter that does not parse), which words its failures in English, as `kestrolan-db` prints
// them: each known text, or known form of text with a file, the system's reason or a term in
// it, translated into the window's language. A text the table does
// not know is shown as it is.
QString StatusText(const platform::Status& status);
