#include "shell/frmoptions.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSlider>
#include <QTabWidget>
#include <QVBoxLayout>

namespace qs {

namespace {
const char* const kTypeCaptions[] = {"Images", "Fichiers ZIP", "Programmes", "CGI", "Sons"};
const char* const kRowNames[] = {"CF", "CL", "CT"};
const char* const kRowCaptions[] = {"Fond d'index :", "Titres :", "Fond de frame :"};
} // namespace

frmOptions::frmOptions(ProgramValues& values, QWidget* parent) : QDialog(parent), options_(values) {
    setObjectName(QStringLiteral("frmOptions"));
    setWindowTitle(QStringLiteral("Options"));
    setModal(true);

    auto* tabs = new QTabWidget(this);
    tabs->setObjectName(QStringLiteral("SSTab1"));

    // "Arborescence": depth and link types of the link tree.
    auto* tree = new QWidget;
    auto* depthLabel = new QLabel(QStringLiteral("Nombre de niveaux à déployer"), tree);
    auto* slider = new QSlider(Qt::Horizontal, tree);
    slider->setObjectName(QStringLiteral("sNiv"));
    slider->setRange(Options::kDepthMin, Options::kDepthMax);
    slider->setPageStep(1);
    slider->setTickPosition(QSlider::TicksBelow);
    slider->setTickInterval(1);
    slider->setAccessibleName(QStringLiteral("Nombre de niveaux à déployer"));
    depthLabel->setBuddy(slider);
    sNiv_ = slider;
    eNiv_ = new QLabel(tree);
    eNiv_->setObjectName(QStringLiteral("eNiv"));
    eNiv_->setMinimumWidth(eNiv_->fontMetrics().horizontalAdvance(QStringLiteral("illimité")) + 8);
    auto* types = new QGroupBox(QStringLiteral("Afficher dans l'arborescence"), tree);
    auto* typesLayout = new QVBoxLayout(types);
    for (int i = 0; i < 5; ++i) {
        cType_[size_t(i)] = new QCheckBox(QString::fromUtf8(kTypeCaptions[i]), types);
        cType_[size_t(i)]->setObjectName(QStringLiteral("cType%1").arg(i));
        typesLayout->addWidget(cType_[size_t(i)]);
        connect(cType_[size_t(i)], &QCheckBox::toggled, this,
                [this, i](bool on) { options_.form.cType[size_t(i)] = on; });
    }
    auto* depthRow = new QHBoxLayout;
    depthRow->addWidget(slider, 1);
    depthRow->addWidget(eNiv_);
    // The program that opens a page of the link tree.
    auto* editorLabel = new QLabel(QStringLiteral("Éditeur de texte des pages :"), tree);
    editor_ = new QLineEdit(tree);
    editor_->setObjectName(QStringLiteral("EditeurTexte"));
    editor_->setPlaceholderText(QStringLiteral("Celui du système"));
    editor_->setToolTip(QStringLiteral("Programme qui ouvre une page de l'arborescence (« Éditer »)"));
    editorLabel->setBuddy(editor_);
    auto* browse = new QPushButton(QStringLiteral("Parcourir..."), tree);
    browse->setObjectName(QStringLiteral("cmdEditeur"));
    connect(editor_, &QLineEdit::textEdited, this,
            [this](const QString& text) { options_.form.editor = text; });
    connect(browse, &QPushButton::clicked, this, [this] {
        const QString chosen = QFileDialog::getOpenFileName(
            this, QStringLiteral("Choisir l'éditeur de texte"), QStringLiteral("/usr/bin"));
        if (chosen.isEmpty())
            return;
        options_.form.editor = chosen;
        editor_->setText(chosen);
    });
    auto* editorRow = new QHBoxLayout;
    editorRow->addWidget(editor_, 1);
    editorRow->addWidget(browse);
    auto* treeLayout = new QVBoxLayout(tree);
    treeLayout->addWidget(depthLabel);
    treeLayout->addLayout(depthRow);
    treeLayout->addWidget(types);
    treeLayout->addWidget(editorLabel);
    treeLayout->addLayout(editorRow);
    treeLayout->addStretch(1);
    tabs->addTab(tree, QStringLiteral("Arborescence"));
    connect(slider, &QSlider::valueChanged, this, [this](int value) {
        options_.sNiv_Change(value);
        eNiv_->setText(options_.form.eNiv);
    });

    // "Paramètres": the colours of the generated pages, one row of red, green and blue bars each.
    auto* settings = new QWidget;
    auto* colours = new QGroupBox(QStringLiteral("Couleurs"), settings);
    auto* grid = new QGridLayout(colours);
    const char* const headings[] = {"Rouge", "Vert", "Bleu"};
    for (int c = 0; c < 3; ++c) {
        auto* h = new QLabel(QString::fromUtf8(headings[c]), colours);
        h->setAlignment(Qt::AlignCenter);
        grid->addWidget(h, 0, c + 1);
    }
    for (int r = 0; r < 3; ++r) {
        const auto row = Options::Row(r);
        auto* label = new QLabel(QString::fromUtf8(kRowCaptions[r]), colours);
        label->setObjectName(QStringLiteral("l%1").arg(QLatin1String(kRowNames[r])));
        label->setAutoFillBackground(true);
        label->setMargin(4);
        label->setMinimumWidth(110);
        rowLabels_[size_t(r)] = label;
        grid->addWidget(label, r + 1, 0);
        for (int c = 0; c < 3; ++c) {
            auto* bar = new QScrollBar(Qt::Horizontal, colours);
            bar->setObjectName(QStringLiteral("%1%2").arg(QLatin1String(kRowNames[r])).arg(c));
            bar->setRange(0, 255);
            bar->setPageStep(16);
            bar->setMinimumWidth(90);
            bar->setAccessibleName(QStringLiteral("%1 %2").arg(QString::fromUtf8(kRowCaptions[r]),
                                                               QString::fromUtf8(headings[c])));
            bars_[size_t(r)][size_t(c)] = bar;
            grid->addWidget(bar, r + 1, c + 1);
            // valueChanged covers both the end of a move and every step of a drag.
            connect(bar, &QScrollBar::valueChanged, this, [this, row, c](int value) {
                options_.barChanged(row, c, value);
                showRowColour(row);
            });
        }
        auto* hex = new QLineEdit(colours);
        hex->setObjectName(QStringLiteral("%1Hexa").arg(QLatin1String(kRowNames[r])));
        hex->setInputMask(QStringLiteral("\\#HHHHHH"));
        hex->setFixedWidth(hex->fontMetrics().horizontalAdvance(QStringLiteral("#DDDDDD")) + 16);
        hex->setToolTip(QStringLiteral("Couleur en hexadécimal : rouge, vert, bleu"));
        hex->setAccessibleName(QString::fromUtf8(kRowCaptions[r]) + QStringLiteral(" hexadécimal"));
        hexes_[size_t(r)] = hex;
        grid->addWidget(hex, r + 1, 4);
        connect(hex, &QLineEdit::textEdited, this, [this, row](const QString& text) {
            if (!options_.hexEdited(row, text))
                return;
            for (int c = 0; c < 3; ++c) {
                const QSignalBlocker block(bars_[size_t(row)][size_t(c)]);
                bars_[size_t(row)][size_t(c)]->setValue(options_.form.bars[size_t(row)][size_t(c)]);
            }
            showRowColour(row);
        });
    }
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(2, 1);
    grid->setColumnStretch(3, 1);
    auto* settingsLayout = new QVBoxLayout(settings);
    settingsLayout->addWidget(colours);
    settingsLayout->addStretch(1);
    tabs->addTab(settings, QStringLiteral("Paramètres"));

    // "Spécial": the read-only mode.
    auto* special = new QWidget;
    auto* mode = new QGroupBox(QStringLiteral("En fonction"), special);
    check1_ = new QCheckBox(QStringLiteral("Enlever les droits d'accès"), mode);
    check1_->setObjectName(QStringLiteral("Check1"));
    check1_->setToolTip(QStringLiteral("Les pages ne pourront plus être modifiées ni supprimées."));
    modeText_ = new QLabel(mode);
    modeText_->setObjectName(QStringLiteral("lMode"));
    modeText_->setWordWrap(true);
    connect(check1_, &QCheckBox::toggled, this, [this](bool on) {
        options_.form.Check1 = on;
        modeText_->setText(options_.modeExplanation());
    });
    auto* modeLayout = new QVBoxLayout(mode);
    modeLayout->addWidget(check1_);
    modeLayout->addWidget(modeText_);
    auto* specialLayout = new QVBoxLayout(special);
    specialLayout->addWidget(mode);
    specialLayout->addStretch(1);
    tabs->addTab(special, QStringLiteral("Spécial"));

    auto* buttons = new QDialogButtonBox(this);
    auto* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setDefault(true);
    auto* cancel = buttons->addButton(QStringLiteral("Annuler"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("cmdCancel"));
    auto* apply = buttons->addButton(QStringLiteral("Appliquer"), QDialogButtonBox::ApplyRole);
    apply->setObjectName(QStringLiteral("cmdApply"));
    connect(ok, &QPushButton::clicked, this, &frmOptions::cmdOK_Click);
    connect(cancel, &QPushButton::clicked, this, &frmOptions::cmdCancel_Click);
    connect(apply, &QPushButton::clicked, this, &frmOptions::cmdApply_Click);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs);
    layout->addWidget(buttons);

    options_.Form_Load();
    showForm();
}

void frmOptions::showForm() {
    const Options::Form& f = options_.form;
    {
        const QSignalBlocker block(sNiv_);
        sNiv_->setValue(f.sNiv);
    }
    eNiv_->setText(f.eNiv);
    for (size_t i = 0; i < cType_.size(); ++i) {
        const QSignalBlocker block(cType_[i]);
        cType_[i]->setChecked(f.cType[i]);
    }
    {
        const QSignalBlocker block(check1_);
        check1_->setChecked(f.Check1);
    }
    modeText_->setText(options_.modeExplanation());
    editor_->setText(f.editor);
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) {
            const QSignalBlocker block(bars_[size_t(r)][size_t(c)]);
            bars_[size_t(r)][size_t(c)]->setValue(f.bars[size_t(r)][size_t(c)]);
        }
        showRowColour(Options::Row(r));
    }
}

void frmOptions::showRowColour(Options::Row row) {
    const QColor colour = options_.rowColour(row);
    QLabel* label = rowLabels_[size_t(row)];
    QPalette p = label->palette();
    p.setColor(QPalette::Window, colour);
    // The caption stays readable whatever the colour behind it.
    p.setColor(QPalette::WindowText, colour.lightness() < 128 ? Qt::white : Qt::black);
    label->setPalette(p);
    QLineEdit* hex = hexes_[size_t(row)];
    if (!hex->hasFocus())
        hex->setText(options_.hexText(row));
}

void frmOptions::cmdApply_Click() {
    options_.cmdApply_Click();
    Q_EMIT applied();
}

void frmOptions::cmdOK_Click() {
    cmdApply_Click();
    accept();
}

void frmOptions::cmdCancel_Click() {
    reject();
}

} // namespace qs
