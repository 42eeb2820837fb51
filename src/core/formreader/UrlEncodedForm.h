// The body a mailto: form sends: one line of name=value pairs joined by "&", urlencoded.
#pragma once

#include <QByteArray>
#include <QStringView>

#include "core/formreader/FormReader.h"

namespace pellumar::formreader {

// True when the whole text (a final line break aside) is one line of name=value pairs joined by
// "&", names and values holding only letters, digits, "-._~*", "+" and %XX escapes; every name
// has at least one character.
bool isUrlEncodedForm(QStringView text);

// The pairs of such a text (at most kMaxPairs): "+" is a space, %XX a byte; the bytes are read
// in `charset` (UTF-8 when empty or unknown). Line breaks inside values become line feeds.
Pairs readUrlEncodedForm(QStringView text, const QByteArray& charset = {});

}  // namespace pellumar::formreader
