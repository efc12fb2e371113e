#pragma once

// Case tables kept as text under tests/data: one row a line, fields between " | ", "#" lines and blank
// lines skipped. A field takes C escapes (\r \n \t \\ and \xNN, which gives that very byte) and "{N*c}"
// for N bytes c (long runs of filler); one written between double quotes keeps its blanks (or is empty).
#include "testutil.h"

#include <QRegularExpression>

namespace qs::test {

// A row's fields, with where it comes from ("file:line") for failure messages.
struct DataRow : QList<QByteArray> {
    std::string where;
    QString text(qsizetype i) const { return QString::fromUtf8(value(i)); }
};

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
    static const QRegularExpression run(QStringLiteral("\\{(\\d+)\\*(.)\\}"));
    for (QRegularExpressionMatch m; (m = run.match(QString::fromLatin1(out))).hasMatch();)
        out.replace(m.capturedStart(), m.capturedLength(),
                    QByteArray(m.captured(1).toInt(), m.captured(2)[0].toLatin1()));
    return out;
}

inline QList<DataRow> tableRows(const QString& relative) {
    QList<DataRow> rows;
    int number = 0;
    for (const QByteArray& line : dataFile(relative).split('\n')) {
        ++number;
        if (line.trimmed().isEmpty() || line.startsWith('#'))
            continue;
        DataRow row;
        row.where = relative.toStdString() + ':' + std::to_string(number);
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
