#include "framework/MessageBox.h"

#include "framework/Dialog.h"
#include "framework/DialogHost.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>

namespace framework {
namespace {

MessageBoxHook& Hook() {
    static MessageBoxHook hook;
    return hook;
}

} // namespace

void SetMessageBoxHook(MessageBoxHook hook) {
    Hook() = std::move(hook);
}

int ShowMessageBox(CDialog* owner, const std::string& text, const std::string& caption,
                   UINT /*type*/) {
    if (Hook())
        return Hook()(text, caption);
    QWidget* parent = owner ? owner->Host() : QApplication::activeWindow();
    QMessageBox box(QMessageBox::NoIcon, QString::fromStdString(caption),
                    QString::fromStdString(text), QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    box.exec();
    return IDOK;
}

std::optional<std::string> ChooseFolder(const char* caption) {
    const QString folder =
        QFileDialog::getExistingDirectory(nullptr, QString::fromUtf8(caption), QDir::homePath());
    if (folder.isEmpty())
        return std::nullopt;
    return QFile::encodeName(folder).toStdString();
}

} // namespace framework
