// The program: computes the data folder, opens the database and runs the main
// menu until it is closed.
#include "FrmMenuU.h"
#include "KivoraApplication.h"
#include "QtPrompter.h"
#include "TplPrev.h"
#include "UntDM.h"

#include <QTextStream>

int main(int argc, char **argv)
{
    KivoraApplication app(argc, argv);
    // The Windows Japanese faces stored with receptions map to the IPA fonts,
    // on screen (font name box, preview) as on paper.
    installFontSubstitutes();
    QtPrompter prompter;
    setPrompter(&prompter);

    TdmMAIN dm;
    setDmMAIN(&dm);

    int rc = 0;
    {
        TFrmMenu menu;
        QString error;
        // A database that cannot be opened ends the program before any window shows.
        if (!menu.OpenDatabase(&error)) {
            QTextStream(stderr) << "kivora: " << error << Qt::endl;
            rc = 1;
        } else {
            menu.show();
            rc = app.exec();
        }
    }
    setDmMAIN(nullptr);
    setPrompter(nullptr);
    return rc;
}
