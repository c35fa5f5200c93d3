#pragma once
// kivora-tool subcommands that need fonts: "demo" and "chart".
#include <QStringList>

// True for the subcommands that need a QGuiApplication.
bool commandNeedsGui(const char *command);
// Without a display, use the offscreen platform (call before the application exists).
void chooseHeadlessPlatform();

int cmdDemo(const QStringList &args);
int cmdChart(const QStringList &args);
