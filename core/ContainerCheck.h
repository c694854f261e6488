#pragma once

#include <QString>

namespace vastrel {

// Whether a container number carries a valid ISO 6346 check digit: the owner
// code and category letter (characters 1-4) and the six-digit serial number
// (characters 5-10) are weighted and summed, and the sum modulo 11 (10 counting
// as 0) must equal the last character of the text.
//
// More lenient than a strict validator: lower-case letters are accepted, any
// non-letter among the first four characters counts as 0, the fourth letter
// need not be U, J or Z, and a longer text is judged by its first ten
// characters and its last one. A text too short or with a non-digit where a
// digit belongs gives false; it never throws.
bool CekContainer(const QString& number);

} // namespace vastrel
