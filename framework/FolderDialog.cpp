#include "framework/FolderDialog.h"

#include <QDir>
#include <QFileDialog>

namespace framework {

std::optional<std::string> ChooseFolder(const char* caption) {
    const QString folder =
        QFileDialog::getExistingDirectory(nullptr, QString::fromUtf8(caption), QDir::homePath());
    if (folder.isEmpty())
        return std::nullopt;
    return QFile::encodeName(folder).toStdString();
}

} // namespace framework
