// What a field of each DAO type makes of a value assigned to it, as a field of the original engine
// does: the conversions of its language's CInt, CLng, CByte, CCur, CSng, CDbl, CBool and CStr.
#pragma once

#include "platform/database/database_values.h"

#include <optional>

namespace platform {

// The value as a field of type `type` keeps it. Whole-number types (Byte, Integer, Long) round
// halves to the even number, Currency to four decimals so, Single to its precision; each raises
// Overflow (6) outside its range. Numeric types and Boolean take texts that are numbers ("12.5",
// " -3 ", "1E3"; Boolean also "True" and "False") and raise Type mismatch (13) for other texts.
// Text types take numbers in the original's text form ("5", "0.5", "1E+20"), and Booleans as
// "True" or "False". Null stays Null; untyped and binary fields take every value as it comes.
// Failures are raised from "DAO.Field".
Value FieldValue(const Value& value, int type);

// The value as a number: a Boolean True is -1, as the original keeps it, and a text must hold a
// decimal number; nothing for other texts and for Null.
std::optional<double> NumericValue(const Value& value);

}
