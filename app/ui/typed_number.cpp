// Leading-integer parse of typed text, saturating instead of overflowing.
#include "app/ui/typed_number.h"

#include <limits>

bool ReadLeadingInteger(QStringView text, int* value)
{
    qsizetype at = 0;
    while (at < text.size() && (text[at] == u' ' || text[at] == u'\t'))
        ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == u'-' || text[at] == u'+'))
        negative = text[at++] == u'-';
    const qsizetype firstDigit = at;
    // One past the int range either way is enough to know the result saturates.
    constexpr long long limit = static_cast<long long>(std::numeric_limits<int>::max()) + 1;
    long long magnitude = 0;
    for (; at < text.size() && text[at] >= u'0' && text[at] <= u'9'; ++at) {
        if (magnitude < limit)
            magnitude = magnitude * 10 + (text[at].unicode() - u'0');
    }
    if (at == firstDigit)
        return false;
    const long long signedValue = negative ? -magnitude : magnitude;
    if (signedValue > std::numeric_limits<int>::max())
        *value = std::numeric_limits<int>::max();
    else if (signedValue < std::numeric_limits<int>::min())
        *value = std::numeric_limits<int>::min();
    else
        *value = int(signedValue);
    return true;
}
