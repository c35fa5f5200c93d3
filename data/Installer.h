#pragma once
#include <QString>

extern const char *const kSchemaSql;

enum class InstallResult { Created, AlreadyPresent, Failed };

// Creates folder (with parents) and kivora.mdb in it with every table and the
// single M_SYSTEM row. An existing database is never touched. The file is
// built under a temporary name and renamed into place, so a failure leaves no
// half-made database behind. *message is one line for the user.
InstallResult installDataFolder(const QString &folder, QString *message);
