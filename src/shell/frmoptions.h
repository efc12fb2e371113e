#pragma once

#include "shell/options.h"

#include <QDialog>

#include <array>

class QAbstractSlider;
class QCheckBox;
class QLabel;
class QLineEdit;

namespace qs {

// The options dialog: link tree depth and types, colours of the generated pages, read-only mode. It
// shows an Options and forwards the user's changes to it; OK and "Appliquer" store them.
class frmOptions : public QDialog {
    Q_OBJECT
public:
    // Runs the dialog's loading from the settings (Form_Load) at once.
    frmOptions(ProgramValues& values, QWidget* parent = nullptr);

    Options& logic() { return options_; }

    void cmdApply_Click();
    void cmdOK_Click();
    void cmdCancel_Click();

Q_SIGNALS:
    // OK or "Appliquer" stored the options.
    void applied();

private:
    void showForm();
    void showRowColour(Options::Row row);

    Options options_;
    QAbstractSlider* sNiv_ = nullptr;
    QLabel* eNiv_ = nullptr;
    std::array<QCheckBox*, 5> cType_{};
    QCheckBox* check1_ = nullptr;
    std::array<std::array<QAbstractSlider*, 3>, 3> bars_{};
    std::array<QLabel*, 3> rowLabels_{};
    std::array<QLineEdit*, 3> hexes_{};
    QLabel* modeText_ = nullptr;
    QLineEdit* editor_ = nullptr;
};

} // namespace qs
