// The application object for harnesses that drive widgets and the settings
// store. HOME and XDG_CONFIG_HOME point into a fresh temporary folder before
// anything reads them, so a run never touches the user's own settings.
#pragma once

#include <QApplication>

#include <cstdio>
#include <cstdlib>

inline void startFuzzApplication()
{
    static char home[] = "/tmp/velko-fuzz-XXXXXX";
    if (!mkdtemp(home)) {
        std::perror("mkdtemp");
        std::abort();
    }
    const QByteArray config = QByteArray(home) + "/config";
    setenv("HOME", home, 1);
    setenv("XDG_CONFIG_HOME", config.constData(), 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static int argc = 1;
    static char name[] = "fuzz";
    static char *argv[] = {name, nullptr};
    new QApplication(argc, argv); // lives as long as the process
}
