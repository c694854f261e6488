#include "ContainerCheck.h"

#include <optional>

namespace vastrel {

namespace {

constexpr int kCheckedLength = 10;
constexpr int kCodeLength = 4;

// ISO 6346 letter values; they skip the multiples of 11.
constexpr int kLetterValues[26] = {10, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 23, 24,
                                   25, 26, 27, 28, 29, 30, 31, 32, 34, 35, 36, 37, 38};

int letterValue(QChar c) {
    const char16_t upper = (c >= u'a' && c <= u'z') ? c.unicode() - (u'a' - u'A') : c.unicode();
    return (upper >= u'A' && upper <= u'Z') ? kLetterValues[upper - u'A'] : 0;
}

std::optional<int> digitValue(QChar c) {
    if (c < u'0' || c > u'9')
        return std::nullopt;
    return c.unicode() - u'0';
}

} // namespace

bool CekContainer(const QString& number) {
    if (number.size() < kCheckedLength)
        return false;
    int sum = 0;
    for (int i = 0; i < kCheckedLength; ++i) {
        const int weight = 1 << i;
        if (i < kCodeLength) {
            sum += letterValue(number[i]) * weight;
            continue;
        }
        const std::optional<int> digit = digitValue(number[i]);
        if (!digit)
            return false;
        sum += *digit * weight;
    }
    const std::optional<int> check = digitValue(number.back());
    const int remainder = sum % 11;
    return check && *check == (remainder == 10 ? 0 : remainder);
}

} // namespace vastrel
