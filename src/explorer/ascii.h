#pragma once

#include <QByteArrayView>
#include <QStringView>

namespace qs::ascii {

// Comparisons with an upper-case ASCII word where only ASCII letters change case: no other character
// upper-cases to one in Windows-1252, so "ſ" or "ı" never pass for "S" or "I" as Unicode case folding
// would have them. Work on text and on Windows-1252 bytes alike.

inline char16_t upper(char16_t c) {
    return (c >= u'a' && c <= u'z') ? char16_t(c - 32) : c;
}

inline char16_t unit(QChar c) {
    return c.unicode();
}
inline char16_t unit(char c) {
    return char16_t(static_cast<unsigned char>(c));
}

template <typename View> bool equalsUpper(View text, QStringView word) {
    if (text.size() != word.size())
        return false;
    for (qsizetype i = 0; i < text.size(); ++i)
        if (upper(unit(text[i])) != word[i].unicode())
            return false;
    return true;
}

template <typename View> bool startsWithUpper(View text, QStringView word) {
    return text.size() >= word.size() && equalsUpper(text.first(word.size()), word);
}

template <typename View> bool endsWithUpper(View text, QStringView word) {
    return text.size() >= word.size() && equalsUpper(text.last(word.size()), word);
}

// First position of the word in the text, ignoring the case of ASCII letters; -1 when absent.
template <typename View> qsizetype indexOfUpper(View text, QStringView word) {
    const qsizetype n = text.size();
    const qsizetype m = word.size();
    if (m == 0)
        return 0;
    const char16_t first = word[0].unicode();
    for (qsizetype i = 0; i + m <= n; ++i) {
        if (upper(unit(text[i])) != first)
            continue;
        qsizetype k = 1;
        while (k < m && upper(unit(text[i + k])) == word[k].unicode())
            ++k;
        if (k == m)
            return i;
    }
    return -1;
}

} // namespace qs::ascii
