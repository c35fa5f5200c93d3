#pragma once
// Shared test environment: one application object for the process, a fresh
// data folder (XDG_DATA_HOME) per test, a scripted prompter, and helpers to
// create and open a database.
#include "ScriptedPrompter.h"
#include "UntDM.h"

#include <QString>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

class QComboBox;
class QLineEdit;

// Prints QStrings readably in assertion failures.
void PrintTo(const QString &s, std::ostream *os);

class KivoraTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // The data folder of this test ("…/Kivora/"), created on demand.
    QString dataFolder() const;
    // Installs kivora.mdb in the data folder and opens the shared connection.
    void openFreshDatabase();
    // Runs a statement on the shared connection, failing the test on error.
    void exec(const QString &sql);
    // First column of the first row, or an invalid variant when none.
    QVariant scalar(const QString &sql);

    std::unique_ptr<QTemporaryDir> home;
    TdmMAIN dm;
};

ScriptedPrompter &scripted();
QString fixture(const QString &name);

// Delivers text the way an input method commits it (QTest::keyClicks is
// ASCII only), at the cursor, keeping what the edit already holds.
void commitText(QLineEdit *e, const QString &s);
// Replaces the edit's text by typing: clears it, then commits s.
void type(QLineEdit *e, const QString &s);
void type(QComboBox *c, const QString &s);
