#pragma once

#include <QDialog>

class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace qs {

// The confirmation of one replacement: the file, its line with the occurrence selected, and the text
// that would take its place. The answer is left in tag(): "OUI", "NON", or "" when closed otherwise.
class F_Conf : public QDialog {
    Q_OBJECT
public:
    explicit F_Conf(QWidget* parent = nullptr);

    // Fills the window, shows it modally and answers true for "Oui".
    bool Confirm(const QString& file, const QString& line, qsizetype start, qsizetype length,
                 const QString& replacement);
    // Fills the window without showing it.
    void fill(const QString& file, const QString& line, qsizetype start, qsizetype length,
              const QString& replacement);
    const QString& tag() const { return tag_; }

    QLineEdit* tF;
    QPlainTextEdit* tTxt;
    QLineEdit* tR;
    QPushButton* bOui;
    QPushButton* bNon;

    void bOui_Click();
    void bNon_Click();

private:
    QString tag_;
};

} // namespace qs
