#include "KivoraApplication.h"

#include "Prompter.h"
#include "UntDM.h"

#include <QTextStream>

KivoraApplication::KivoraApplication(int &argc, char **argv) : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("Kivora"));
    setApplicationVersion(QStringLiteral(KIVORA_VERSION));
}

void reportUncaught(const std::exception &e)
{
    const auto *db = dynamic_cast<const DbError *>(&e);
    const QString text = db ? db->message() : QString::fromLocal8Bit(e.what());
    try {
        prompter().error(text);
    } catch (...) {
        QTextStream(stderr) << text << Qt::endl;
    }
}

bool KivoraApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception &e) {
        reportUncaught(e);
    }
    return false;
}
