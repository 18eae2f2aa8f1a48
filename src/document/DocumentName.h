#pragma once

#include "session/Identification.h"

#include <QString>
#include <optional>

namespace ombrix::document {

// The name a document is opened under: the model description path, "*" and the
// instrument's serial number in decimal.
QString DocumentName(const session::ModelSelection& selection);

// Splits a document name at its last "*". None when there is no "*", when it is
// the first or the last character, or when the text after it is not an unsigned
// 32-bit decimal number.
std::optional<session::ModelSelection> SplitDocumentName(const QString& name);

} // namespace ombrix::document
