#include "folderchooser.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QGridLayout>

namespace quirex::app::ui
{

namespace
{

// Qt's own dialogs everywhere: the same dialog on every desktop, and one that
// can carry the extra check box.
void prepare(QFileDialog &dialog, const char *name)
{
    dialog.setObjectName(QString::fromLatin1(name));
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setOption(QFileDialog::ReadOnly, true);
}

} // namespace

QStringList chooseInputFiles(QWidget *owner, const QString &title, const QString &startFolder)
{
    QFileDialog dialog(owner, title, startFolder);
    prepare(dialog, AddFilesDialogName);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    // The filter texts are fixed, in Russian, whatever the interface language.
    dialog.setNameFilters({
        QStringLiteral("Все поддерживаемые файлы (*.htm *.html *.shtml *.txt)"),
        QStringLiteral("HTML Файлы (*.htm *.html *.shtml)"),
        QStringLiteral("TXT Файлы (*.txt)"),
    });
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles();
}

QString chooseInputFolder(QWidget *owner, const QString &startFolder,
                          const QString &includeSubfoldersText, bool *includeSubfolders)
{
    QFileDialog dialog(owner, QString(), startFolder);
    prepare(dialog, AddFolderDialogName);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly, true);
    auto *check = new QCheckBox(includeSubfoldersText, &dialog);
    check->setObjectName(QString::fromLatin1(IncludeSubfoldersName));
    check->setChecked(false);
    if (auto *grid = qobject_cast<QGridLayout *>(dialog.layout()))
        grid->addWidget(check, grid->rowCount(), 0, 1, grid->columnCount());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    if (includeSubfolders)
        *includeSubfolders = check->isChecked();
    return dialog.selectedFiles().constFirst();
}

QString chooseOutputFolder(QWidget *owner, const QString &title, const QString &startFolder)
{
    QFileDialog dialog(owner, title, startFolder);
    prepare(dialog, OutputFolderDialogName);
    dialog.setOption(QFileDialog::ReadOnly, false);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly, true);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

} // namespace quirex::app::ui
