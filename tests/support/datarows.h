#pragma once

// Tables of cases kept as text under tests/data: one case a line, fields separated by "|" and trimmed;
// blank lines and lines starting with "#" are skipped. Escapes: \r \n \t \\ \| \s (a space kept at a
// field's end) and \xHH (one raw byte, for files that are not UTF-8).
#include "testutil.h"

#include <QList>

namespace qs::test {

struct DataRow {
    int line = 0; // in the file, for failure messages
    QList<QByteArray> fields;
    QString text(qsizetype i) const { return QString::fromUtf8(fields.value(i)); }
    QByteArray bytes(qsizetype i) const { return fields.value(i); }
};

inline QByteArray unescapedField(const QByteArray& raw) {
    QByteArray out;
    for (qsizetype i = 0; i < raw.size(); ++i) {
        if (raw[i] != '\\' || i + 1 == raw.size()) {
            out.append(raw[i]);
        } else if (raw[++i] == 'x') {
            out.append(char(raw.mid(i + 1, 2).toInt(nullptr, 16)));
            i += 2;
        } else {
            const qsizetype k = QByteArray("rnts").indexOf(raw[i]);
            out.append(k < 0 ? raw[i] : "\r\n\t "[k]);
        }
    }
    return out;
}

inline QList<DataRow> dataRows(const QString& relative) {
    QList<DataRow> rows;
    int number = 0;
    for (const QByteArray& line : dataFile(relative).split('\n')) {
        ++number;
        if (line.trimmed().isEmpty() || line.startsWith('#'))
            continue;
        DataRow row{number, {}};
        qsizetype from = 0;
        for (qsizetype i = 0; i <= line.size(); ++i) {
            if (i < line.size() && line[i] == '\\') {
                ++i;
            } else if (i == line.size() || line[i] == '|') {
                row.fields.append(unescapedField(line.mid(from, i - from).trimmed()));
                from = i + 1;
            }
        }
        rows.append(row);
    }
    return rows;
}

} // namespace qs::test
