#pragma once
#include <QApplication>

// The application object. A database error (or any other exception) that
// escapes an event handler ends the current action and is shown in an error
// box with its own text; the program and the form go on.
class KivoraApplication : public QApplication
{
    Q_OBJECT
public:
    KivoraApplication(int &argc, char **argv);
    bool notify(QObject *receiver, QEvent *event) override;
};

// Shows an escaped error in the error box; also used around modal loops.
void reportUncaught(const std::exception &e);
