#include "storage/FilePathCommands.h"
#include "ui/Form1.h"
#include "ui/UserDialogs.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    LoadQtJapanese(app);
    QApplication::setApplicationName(QStringLiteral("Zanbo"));
    QApplication::setApplicationVersion(QStringLiteral("%1.%2.%3")
                                            .arg(ZANBO_VERSION_MAJOR)
                                            .arg(ZANBO_VERSION_MINOR)
                                            .arg(ZANBO_VERSION_PATCH));
    DesktopDialogs dialogs;
    // The program keeps its settings and pattern files beside itself.
    Form1 window(AddPathSeparator(QApplication::applicationDirPath()), dialogs);
    window.show();
    return app.exec();
}
