#pragma once

#include "check/verifier.h"

#include <QByteArray>
#include <QString>

namespace qs {

enum class ReportFormat { Text, Json, Html };

// The report of a check, UTF-8:
// - Text: one problem a line, "page:line: kind: link" (": link" left out when there is none);
// - Json: {"site": ..., "problemes": [{"type", "page", "ligne", "lien", "cible"}...],
//          "resume": {"pages", "liens", "externes"}};
// - Html: a standalone page, the problems grouped by kind with their counts, each page a link to it.
QByteArray reportOf(const SiteCheck& check, ReportFormat format);

// "120 pages, 2 300 liens locaux, 15 liens externes (non vérifiés) : 3 problèmes."
QString summaryOf(const SiteCheck& check);

// The French heading of a kind in the window and the page report ("Liens brisés", ...).
QString kindTitle(Problem::Kind kind);

} // namespace qs
