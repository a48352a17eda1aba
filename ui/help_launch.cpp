#include "help_launch.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

namespace tolvex {

void openHelpDocument(const QString& directory)
{
    const QString path = QDir(directory).absoluteFilePath(QString::fromLatin1(kHelpDocument));
    if (!QFileInfo::exists(path)) return;
    QDesktopServices::openUrl(QUrl::fromLocalFile(path)); // result not looked at
}

} // namespace tolvex
