#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace quirex::app::ui
{

// Object names of the choosers' dialogs and of the "Include subfolders" box,
// for whoever needs to find them (tests answer the dialogs by these names).
constexpr char AddFilesDialogName[] = "addFilesDialog";
constexpr char AddFolderDialogName[] = "addFolderDialog";
constexpr char OutputFolderDialogName[] = "outputFolderDialog";
constexpr char IncludeSubfoldersName[] = "7127";

// The add-files dialog: several existing files, starting in `startFolder`,
// with the three filters (all supported files, HTML, text). Empty when
// cancelled.
QStringList chooseInputFiles(QWidget *owner, const QString &title, const QString &startFolder);

// The add-folder dialog: one existing folder, starting at `startFolder`, with
// an "Include subfolders" box below (unchecked each time). Empty when
// cancelled; otherwise `includeSubfolders` holds the box's state.
QString chooseInputFolder(QWidget *owner, const QString &startFolder,
                          const QString &includeSubfoldersText, bool *includeSubfolders);

// The output-folder dialog: one folder, with an edit box, starting at
// `startFolder`. Empty when cancelled.
QString chooseOutputFolder(QWidget *owner, const QString &title, const QString &startFolder);

} // namespace quirex::app::ui
