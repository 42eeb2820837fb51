// How preference values are read from and written to their stored texts.
#pragma once

#include <QString>

#include <cstdint>
#include <optional>

namespace pellumar {

// The stored text as a signed 16-bit integer: fractions round to the nearest integer with halves
// to the even neighbour; empty text, text that is not a number, and numbers outside
// -32768..32767 give 0.
int16_t IntOrZero(const QString& stored);

// "True" or "False" in any letter case, or a number (nonzero is true); anything else is nothing.
std::optional<bool> preferenceBoolean(const QString& stored);

// A number in -32768..32767, rounded as IntOrZero does; anything else is nothing.
std::optional<int16_t> preferenceInt16(const QString& stored);

// The written forms: numbers in their shortest ordinary decimal form as a single-precision value
// ("1200", "-60"), booleans as "True" or "False".
QString preferenceNumberText(double value);
QString preferenceBooleanText(bool value);

}  // namespace pellumar
