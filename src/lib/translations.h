#pragma once

class QCoreApplication;

namespace qs {

// Installs Qt's own French texts (file choosers, standard buttons, command-line errors) into `app`:
// "qtbase_fr" and, when present, "qtwebengine_fr", from Qt's translation folder or from a
// "translations" folder beside the program. Returns false when Qt's French base texts were not found;
// the program then runs with Qt's English texts.
bool installFrenchTranslations(QCoreApplication& app);

} // namespace qs
