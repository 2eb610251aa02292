// pelmora: the desktop window of Pelmora.
#include "Version.h"
#include "gui/Program.h"

#include <QApplication>
#include <QTimer>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("pelmora %s\n", PELMORA_VERSION);
        return 0;
    }
    QApplication app(argc, argv);
    // Command-line parameters as left by Qt (its own options removed).
    std::vector<std::string> parameters;
    const QStringList arguments = QCoreApplication::arguments();
    for (qsizetype i = 1; i < arguments.size(); ++i)
        parameters.push_back(arguments[i].toStdString());

    pelmora::gui::Program program(parameters);
    program.Show();
    // For scripted checks: close the window as soon as the event loop runs.
    if (qEnvironmentVariableIsSet("PELMORA_EXIT_AFTER_SHOW"))
        QTimer::singleShot(0, &program.Window(), &QWidget::close);
    return app.exec();
}
