#pragma once
#include "FrmOBaseU.h"

#include <QAction>
#include <QPushButton>
#include <array>
#include <functional>

class QMenuBar;

// Creates one working form with the main menu as its owner.
using FormFactory = std::function<QDialog *(QWidget *owner)>;
// The factory behind menu button 1..9; an empty one leaves the button disabled.
FormFactory menuFormFactory(int button);

// The main menu: the only modeless window. Each button opens its working form
// modally and releases it when it closes.
class TFrmMenu : public TFrmOBase
{
    Q_OBJECT
public:
    explicit TFrmMenu(QWidget *parent = nullptr);

    // Opens the shared connection on the database of the data folder.
    bool OpenDatabase(QString *error = nullptr);

    std::array<QPushButton *, 9> buttons{};
    QPushButton *bbtnClose = nullptr;
    QMenuBar *menuBar = nullptr;
    QAction *actHelp = nullptr;
    QAction *actVersion = nullptr;

    void openForm(int button);
    void showHelp();
    void showVersion();

    // Where the help file is looked for.
    static QString helpFilePath();
    // Opens a local file with the desktop's viewer; tests replace it.
    static std::function<bool(const QString &path)> openDocument;
    // Where buttons find their forms; tests replace it.
    static std::function<FormFactory(int button)> factories;

protected:
    void showEvent(QShowEvent *e) override;

private:
    bool m_centred = false;
};
