#pragma once

// Case tables kept as text under tests/data: one row a line, fields between " | ", "#" lines and blank
// lines skipped. A field takes C escapes (\r \n \t \\ and \xNN, which gives that very byte), and one
// written between double quotes keeps its blanks (or is empty).
#include "testutil.h"

namespace qs::test {

inline QByteArray unescaped(QByteArray field) {
    if (field.size() >= 2 && field.startsWith('"') && field.endsWith('"'))
        field = field.mid(1, field.size() - 2);
    QByteArray out;
    for (qsizetype i = 0; i < field.size(); ++i) {
        const char e = i + 1 < field.size() && field[i] == '\\' ? field[++i] : 0;
        if (e == 'x') {
            out += char(field.mid(i + 1, 2).toInt(nullptr, 16));
            i += 2;
        } else {
            out += e == 'r' ? '\r' : e == 'n' ? '\n' : e == 't' ? '\t' : e ? e : field[i];
        }
    }
    return out;
}

inline QList<QList<QByteArray>> tableRows(const QString& relative) {
    QList<QList<QByteArray>> rows;
    for (const QByteArray& line : dataFile(relative).split('\n')) {
        if (line.trimmed().isEmpty() || line.startsWith('#'))
            continue;
        QList<QByteArray> row;
        qsizetype from = 0;
        for (qsizetype bar; (bar = line.indexOf(" | ", from)) >= 0; from = bar + 3)
            row.append(unescaped(line.mid(from, bar - from)));
        row.append(unescaped(line.mid(from)));
        rows.append(row);
    }
    return rows;
}

inline QString str(const QByteArray& field) {
    return QString::fromUtf8(field);
}

} // namespace qs::test
