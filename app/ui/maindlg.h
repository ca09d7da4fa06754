#pragma once

#include "dialogresizer.h"
#include "handoffreceiver.h"
#include "stringtable.h"

#include <QDialog>
#include <QList>
#include <QPointer>
#include <QSet>
#include <QStringList>

#include <functional>
#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidgetItem;

namespace quirex::app
{
class CConverter;
class SettingsStore;
} // namespace quirex::app

namespace quirex::app::ui
{

class CProgressDlg;
class FileListView;

// The main window of window mode: the user collects input documents, picks
// the output folder and the PDF settings, and converts them one PDF per
// input or all into one, with the progress window showing and Cancel
// working. Converted PDFs are listed and open from the list.
//
// The window only calls the program's one converter, which also keeps the
// run's busy state (CConverter::beginRun). A run is synchronous and pumps
// events through the progress window, so while it lasts the lists and
// buttons are disabled and nothing may start a second run: Convert is
// refused, closing the window cancels the run and closes once it has ended,
// and work handed in through runWhenIdle() waits for the run's end.
class CMainDlg final : public QDialog, public HandOffReceiver
{
    Q_OBJECT
public:
    // The most items the input list takes.
    static constexpr int MaxInputItems = 0x400000;

    // Reads the window's state ("Main") and the Conversion settings from
    // `store` into the window and `converter`.
    CMainDlg(CConverter &converter, SettingsStore &store, int language = interfaceLanguage(),
             QWidget *parent = nullptr);
    ~CMainDlg() override;

    QStringList inputPaths() const;
    QStringList outputPaths() const;
    QString outputFolder() const { return m_outputFolder; }
    void setOutputFolder(const QString &folder);
    QString lastInputFolder() const { return m_lastInputFolder; }
    // Whether a conversion is under way (the converter is busy).
    bool isRunning() const;
    // The progress window of the run under way, or null.
    CProgressDlg *progressDialog() const;

    // Appends the files not yet listed, in order, up to the item limit
    // (warning 2022 when reached). Returns how many were added.
    int addFiles(const QStringList &paths);
    // Scans `folder` with the five masks (and its sub-folders with
    // `recursive`) and appends what is not yet listed; it becomes the last
    // input folder.
    void addFolder(const QString &folder, bool recursive);
    // Files and folders dropped from outside: files with a supported
    // extension as by the add-files dialog, folders scanned without
    // sub-folders.
    void addDropped(const QStringList &paths);
    // Removes the selected inputs.
    void removeSelected();
    // Moves the selected inputs by `offset` places (block move).
    void moveSelected(int offset);

    // Runs `work` now when no conversion is under way, else when it ends.
    void runWhenIdle(std::function<void()> work);

    // A text handed over by another program (through the hand-off server) is
    // stored as the last handed-off text; during a run it waits for the run's
    // end. Nothing else reads it.
    void receiveHandOff(const QString &text) override;
    QString lastHandOffText() const { return m_lastHandOffText; }

    // The help file F1 opens (default: the installed one).
    void setHelpFilePath(const QString &path) { m_helpFilePath = path; }
    // Lowers the item limit; tests use it to reach the limit quickly.
    void setInputLimit(int limit) { m_inputLimit = limit; }

public slots:
    void onAddFile();
    void onAddFolder();
    void onBrowse();
    void onSettings();
    void onConvert();

protected:
    void closeEvent(QCloseEvent *event) override;
    void reject() override;
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool event(QEvent *event) override;

private:
    void buildControls();
    void readMainSettings();
    void takeControls();
    void saveMainSettings();
    void updateButtons();
    void setRunControlsEnabled(bool enabled);
    bool appendInput(const QString &path, QList<QTreeWidgetItem *> &batch, bool *full);
    void commitInputs(const QList<QTreeWidgetItem *> &batch, bool full);
    void openDocument(const QString &path);
    void openSelectedOutput();
    void onInputKey(int key);
    void onOutputKey(int key);
    void finishRun();
    // A run through the batch runner (worker processes) into an existing folder.
    void convertInWorkers(const QStringList &inputs);
    // The output folder without a trailing "/" (but "/" itself).
    QString runFolder() const;
    QString outputPathOf(const QString &input, const QString &folder,
                         const QString &extension) const;
    // After a failure: the last converted file leaves the list when it cannot be read.
    void dropUnreadableLastOutput();

    CConverter &m_converter;
    SettingsStore &m_store;
    int m_language;
    QString m_helpFilePath;

    QLabel *m_helpHint = nullptr;
    FileListView *m_inputs = nullptr;
    FileListView *m_outputs = nullptr;
    QLineEdit *m_outputEdit = nullptr;
    QCheckBox *m_allToOne = nullptr;
    QPushButton *m_addFile = nullptr;
    QPushButton *m_addFolder = nullptr;
    QPushButton *m_remove = nullptr;
    QPushButton *m_moveUp = nullptr;
    QPushButton *m_moveDown = nullptr;
    QPushButton *m_browse = nullptr;
    QPushButton *m_settings = nullptr;
    QPushButton *m_convert = nullptr;
    DialogResizer m_resizer;

    QString m_outputFolder;
    QString m_lastInputFolder;
    QSet<QString> m_listed; // the input list's paths, for the duplicate test
    int m_inputLimit = MaxInputItems;
    bool m_simpleMode = false;

    QPointer<CProgressDlg> m_progress;
    bool m_closeAfterRun = false;
    std::vector<std::function<void()>> m_idleWork;
    QString m_lastHandOffText;
};

} // namespace quirex::app::ui
