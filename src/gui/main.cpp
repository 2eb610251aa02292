// pelmora: the desktop window of Pelmora.
#include "Version.h"

#include <QApplication>
#include <QLabel>
#include <QTimer>
#include <cstdio>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    std::printf("pelmora %s\n", PELMORA_VERSION);
    QLabel label(QString("Varno Pelmora %1").arg(PELMORA_VERSION));
    label.show();
    if (qEnvironmentVariableIsSet("PELMORA_EXIT_AFTER_SHOW"))
        QTimer::singleShot(0, &app, &QApplication::quit);
    return app.exec();
}
