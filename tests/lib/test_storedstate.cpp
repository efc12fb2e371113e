// The stored French values of the program's modes, read and written in one place.
#include "lib/settings.h"

#include <gtest/gtest.h>

#include <QSettings>

using namespace qs;

TEST(StoredState, OnlyNonIsReadOnlyAndIndexedIsExactlyOui) {
    QSettings(QStringLiteral("Vendrel"), QStringLiteral("quillsite")).clear();
    const auto set = [](const char* key, const char* value) {
        ParamètreEcrire(QString::fromUtf8(key), QString::fromUtf8(value));
    };
    // Whatever else is stored leaves editing on: the options' box shows what the window applies.
    const struct {
        const char* stored;
        EditMode mode;
        bool indexed;
    } rows[] = {{"Non", EditMode::ReadOnly, false},
                {"Oui", EditMode::Editable, true},
                {"non", EditMode::Editable, false},
                {"Peut-être", EditMode::Editable, false},
                {"", EditMode::Editable, false}};
    for (const auto& row : rows) {
        set("Modification", row.stored);
        set("Indexer", row.stored);
        EXPECT_EQ(storedEditMode(), row.mode) << row.stored;
        EXPECT_EQ(siteIndexed(), row.indexed) << row.stored;
    }
    EXPECT_EQ(ParamètreLire(QStringLiteral("Modification")), QString()); // read without storing
    EXPECT_EQ(storedEditMode(true), EditMode::Editable);
    EXPECT_EQ(ParamètreLire(QStringLiteral("Modification")), QStringLiteral("Oui"));
    storeEditMode(EditMode::ReadOnly);
    setSiteIndexed(false);
    EXPECT_EQ(ParamètreLire(QStringLiteral("Modification")), QStringLiteral("Non"));
    EXPECT_EQ(ParamètreLire(QStringLiteral("Indexer")), QStringLiteral("Non"));
}
