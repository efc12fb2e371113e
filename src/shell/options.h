#pragma once

#include "lib/settings.h"

#include <QColor>
#include <QString>

#include <array>

namespace qs {

// The logic of the options dialog frmOptions: what its controls hold, what moving them changes and what
// Apply stores. The dialog shows `form` and forwards the user's changes here.
class Options {
public:
    static constexpr int kDepthMin = 1;
    static constexpr int kDepthMax = 20; // "illimité"

    // Colour rows, top to bottom: "Fond d'index :", "Titres :", "Fond de frame :".
    enum Row { CF = 0, CL = 1, CT = 2 };

    struct Form {
        std::array<bool, 5> cType{true, true, true, true, true}; // "Images" ... "Sons"
        bool Check1 = false;                                     // "Enlever les droits d'accès"
        int sNiv = 4;
        QString eNiv;
        // Bars 0, 1, 2 of each row: red, green and blue, 0 to 255.
        std::array<std::array<int, 3>, 3> bars{};
        // The program that opens a page of the link tree ("EditeurTexte"); empty: the system's choice.
        QString editor;
    };

    // `values` are the program-wide values: moving a colour bar changes them at once.
    explicit Options(ProgramValues& values);

    Form form;

    // Fills the controls from the settings (storing the defaults that are missing) and the colour bars
    // from the colours in use.
    void Form_Load();
    // What Form_Load does with the texts it has read: the program-wide values (colours, link types),
    // the stored depth, mode and editor, whatever they hold, become controls within their ranges.
    void fillForm(const QString& storedDepth, EditMode mode, const QString& editor);
    // The depth slider moved.
    void sNiv_Change(int value);
    // A colour bar moved (on every change, dragging included).
    void barChanged(Row row, int index, int value);
    // A colour typed as six hexadecimal digits ("#" allowed before them): sets the row's bars and colour.
    // False, changing nothing, when the text is not such a colour.
    bool hexEdited(Row row, const QString& text);
    // Stores the mode, depth, link types, colours and text editor. The mode takes effect at once.
    void cmdApply_Click();

    // The row's colour as the box beside its bars shows it: "#RRGGBB".
    QString hexText(Row row) const;
    // What the read-only mode does, shown while its box is ticked; "" otherwise.
    QString modeExplanation() const;

    // The colour a row shows.
    QColor rowColour(Row row) const;
    // The depth label for a slider position.
    static QString depthCaption(int value);

private:
    QString& colourOf(Row row);
    ProgramValues& values_;
    QString loadedEditor_;
};

} // namespace qs
