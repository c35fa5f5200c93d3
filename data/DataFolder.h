#pragma once
#include <QString>

// The folder that holds kivora.mdb and the printer settings files: the
// platform's per-user data location followed by "Kivora" and a separator.
// It always ends in a separator.
QString DataFolder();
// The rule behind it, kept apart so it can be tested with any base path.
QString dataFolderFrom(const QString &base);
QString DatabasePath();
