#include "core/text_escaping.h"

namespace qvt {

std::string StoreText(std::string_view text, Backslashes backslashes)
{
    std::string out(text);
    for (char& c : out) {
        if (c == '\n')
            c = kStoredLineFeed;
        else if (c == '\r')
            c = kStoredCarriageReturn;
        else if (c == '\\' && backslashes == Backslashes::Stored)
            c = kStoredBackslash;
    }
    return out;
}

std::string RestoreText(std::string_view text, Backslashes backslashes)
{
    std::string out(text);
    for (char& c : out) {
        if (c == kStoredLineFeed)
            c = '\n';
        else if (c == kStoredCarriageReturn)
            c = '\r';
        else if (c == kStoredBackslash && backslashes == Backslashes::Stored)
            c = '\\';
    }
    return out;
}

} // namespace qvt
