#include "maindlg.h"

#include "advsettingsdlg.h"
#include "appicon.h"
#include "applog.h"
#include "batchmodes.h"
#include "batchrunner.h"
#include "blockmove.h"
#include "converter.h"
#include "dialogunits.h"
#include "filelistview.h"
#include "folderchooser.h"
#include "folderscan.h"
#include "helpviewer.h"
#include "messagebox.h"
#include "progressdlg.h"
#include "settingsio.h"
#include "settingsstore.h"
#include "shellopen.h"
#include "stringids.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace quirex::app::ui
{

namespace
{

QString fileNameOf(const QString &path)
{
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

} // namespace

CMainDlg::CMainDlg(CConverter &converter, SettingsStore &store, int language, QWidget *parent)
    : QDialog(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint)
    , m_converter(converter)
    , m_store(store)
    , m_language(language)
    , m_helpFilePath(defaultHelpFilePath())
{
    setObjectName(QStringLiteral("CMainDlg"));
    setWindowIcon(applicationIcon());
    setFont(dialogFont());
    buildControls();
    readMainSettings();
    updateButtons();
    setWindowTitle(loadText(strings::ProductName, m_language) + QLatin1Char(' ') +
                   QLatin1String(QUIREXDESK_VERSION));
}

CMainDlg::~CMainDlg() = default;

bool CMainDlg::isRunning() const
{
    return m_converter.isBusy();
}

void CMainDlg::buildControls()
{
    const DialogUnits du(font());
    const auto text = [this](int id) { return loadText(id, m_language); };
    using R = DialogResizer;

    const auto label = [&](const char *id, int caption, QRect dlu, Qt::Alignment align) {
        auto *widget = new QLabel(text(caption), this);
        widget->setObjectName(QString::fromLatin1(id));
        widget->setTextFormat(Qt::PlainText);
        widget->setAlignment(align | Qt::AlignTop);
        place(widget, du, dlu.x(), dlu.y(), dlu.width(), dlu.height());
        return widget;
    };
    const auto button = [&](const char *id, int caption, int tip, QRect dlu) {
        auto *widget = new QPushButton(text(caption), this);
        widget->setObjectName(QString::fromLatin1(id));
        widget->setToolTip(text(tip));
        widget->setAutoDefault(false);
        place(widget, du, dlu.x(), dlu.y(), dlu.width(), dlu.height());
        return widget;
    };
    const auto list = [&](const char *id, int tip, QRect dlu) {
        auto *widget = new FileListView(this);
        widget->setObjectName(QString::fromLatin1(id));
        widget->setHeaderLabels({text(strings::FileNameColumn)});
        widget->setToolTip(text(tip));
        place(widget, du, dlu.x(), dlu.y(), dlu.width(), dlu.height());
        // The column fills the list less 16 pixels at start-up and keeps
        // that width afterwards.
        widget->setColumnWidth(0, widget->width() - 2 * widget->frameWidth() - 16);
        return widget;
    };

    m_helpHint = label("1046", strings::HelpHint, {7, 7, 310, 8}, Qt::AlignHCenter);
    m_helpHint->setEnabled(false);
    auto *filesLabel = label("1010", strings::FilesToConvert, {7, 17, 234, 8}, Qt::AlignLeft);
    m_inputs = list("1000", strings::InputListTip, {7, 26, 234, 93});
    m_inputs->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_inputs->setReorderable(true);
    m_addFile = button("1001", strings::AddFile, strings::AddFilesTip, {249, 26, 68, 14});
    m_addFolder = button("1002", strings::AddFolder, strings::AddFolderTip, {249, 44, 68, 14});
    m_remove = button("1003", strings::Remove, strings::RemoveTip, {249, 62, 68, 14});
    m_moveUp = button("1004", strings::MoveUp, strings::MoveUpTip, {249, 87, 68, 14});
    m_moveDown = button("1005", strings::MoveDown, strings::MoveDownTip, {249, 105, 68, 14});
    auto *folderLabel = label("1011", strings::OutputFolderLabel, {7, 126, 234, 8}, Qt::AlignLeft);
    m_outputEdit = new QLineEdit(this);
    m_outputEdit->setObjectName(QStringLiteral("1012"));
    m_outputEdit->setReadOnly(true);
    place(m_outputEdit, du, 7, 135, 234, 14);
    m_browse = button("1013", strings::Browse, strings::BrowseTip, {249, 135, 68, 14});
    auto *convertedLabel = label("1009", strings::ConvertedFiles, {7, 157, 234, 8}, Qt::AlignLeft);
    m_outputs = list("1006", strings::OutputListTip, {7, 166, 234, 93});
    m_outputs->setSelectionMode(QAbstractItemView::SingleSelection);
    m_settings =
        button("1007", strings::PdfSettingsButton, strings::SettingsTip, {249, 166, 68, 14});
    m_allToOne = new QCheckBox(text(strings::AllToOne), this);
    m_allToOne->setObjectName(QStringLiteral("3032"));
    m_allToOne->setToolTip(text(strings::AllToOneTip));
    place(m_allToOne, du, 249, 232, 68, 10);
    m_convert = button("1008", strings::ConvertButton, strings::ConvertTip, {249, 245, 68, 14});

    resize(du.x(324), du.y(266));
    fitCaptions(this, du.x(7));
    setMinimumSize(size());
    setSizeGripEnabled(true);
    m_resizer.setStartSize(size());
    m_resizer.add(m_helpHint, R::SizeX);
    m_resizer.add(filesLabel, R::Fixed);
    m_resizer.add(m_inputs, R::SizeX);
    for (QWidget *right :
         {m_addFile, m_addFolder, m_remove, m_moveUp, m_moveDown, m_browse, m_settings})
        m_resizer.add(right, R::MoveX);
    m_resizer.add(folderLabel, R::Fixed);
    m_resizer.add(m_outputEdit, R::SizeX);
    m_resizer.add(convertedLabel, R::Fixed);
    m_resizer.add(m_outputs, R::SizeX | R::SizeY);
    m_resizer.add(m_allToOne, R::MoveX | R::MoveY);
    m_resizer.add(m_convert, R::MoveX | R::MoveY);

    connect(m_addFile, &QPushButton::clicked, this, &CMainDlg::onAddFile);
    connect(m_addFolder, &QPushButton::clicked, this, &CMainDlg::onAddFolder);
    connect(m_remove, &QPushButton::clicked, this, [this] {
        takeControls();
        removeSelected();
    });
    connect(m_moveUp, &QPushButton::clicked, this, [this] {
        takeControls();
        moveSelected(-1);
    });
    connect(m_moveDown, &QPushButton::clicked, this, [this] {
        takeControls();
        moveSelected(+1);
    });
    connect(m_browse, &QPushButton::clicked, this, &CMainDlg::onBrowse);
    connect(m_settings, &QPushButton::clicked, this, &CMainDlg::onSettings);
    connect(m_convert, &QPushButton::clicked, this, &CMainDlg::onConvert);

    connect(m_inputs, &QTreeWidget::itemSelectionChanged, this, &CMainDlg::updateButtons);
    connect(m_inputs, &FileListView::commandKey, this, &CMainDlg::onInputKey);
    connect(m_inputs, &FileListView::emptySpaceDoubleClicked, this, &CMainDlg::onAddFile);
    connect(m_inputs, &FileListView::rowDoubleClicked, this,
            [this](int row) { openDocument(m_inputs->topLevelItem(row)->text(0)); });
    connect(m_inputs, &FileListView::rowDropped, this,
            [this](int source, int target) { moveSelected(target - source); });
    connect(m_inputs, &FileListView::pathsDropped, this, &CMainDlg::addDropped);
    connect(m_outputs, &FileListView::commandKey, this, &CMainDlg::onOutputKey);
    connect(m_outputs, &FileListView::rowDoubleClicked, this,
            [this](int row) { openDocument(m_outputs->topLevelItem(row)->text(0)); });
    connect(m_outputs, &FileListView::emptySpaceDoubleClicked, this,
            [this] { platform::shellOpen(m_outputFolder, 0); });
}

void CMainDlg::readMainSettings()
{
    m_outputFolder = ReadFolderSetting(m_store, QStringLiteral("SaveFolder"));
    m_lastInputFolder = ReadFolderSetting(m_store, QStringLiteral("LastOpenFolder"));
    bool makeOne = false;
    m_store.ReadBool(QLatin1String(MainSection), QStringLiteral("MakeOne"), makeOne);
    m_converter.setAllToOne(makeOne);
    LoadSettings(m_converter.settings(), m_store);
    m_store.ReadBool(QLatin1String(MainSection), QStringLiteral("IsSimpleMode"), m_simpleMode);
    m_outputEdit->setText(m_outputFolder);
    m_allToOne->setChecked(makeOne);
}

void CMainDlg::setOutputFolder(const QString &folder)
{
    m_outputFolder = folder;
    m_outputEdit->setText(folder);
}

void CMainDlg::takeControls()
{
    m_outputFolder = m_outputEdit->text();
    m_converter.setAllToOne(m_allToOne->isChecked());
}

void CMainDlg::saveMainSettings()
{
    const QString main = QLatin1String(MainSection);
    const bool saved[] = {
        m_store.WriteString(main, QStringLiteral("SaveFolder"), m_outputFolder),
        m_store.WriteString(main, QStringLiteral("LastOpenFolder"), m_lastInputFolder),
        m_store.WriteBool(main, QStringLiteral("MakeOne"), m_converter.allToOne()),
    };
    for (bool ok : saved)
        if (!ok)
            errorBox(strings::SaveFailed, strings::ErrorTitle);
}

CProgressDlg *CMainDlg::progressDialog() const
{
    return m_progress;
}

QStringList CMainDlg::inputPaths() const
{
    return m_inputs->paths();
}

QStringList CMainDlg::outputPaths() const
{
    return m_outputs->paths();
}

void CMainDlg::updateButtons()
{
    if (isRunning())
        return;
    const int count = m_inputs->topLevelItemCount();
    const bool any = !m_inputs->selectedItems().isEmpty();
    m_remove->setEnabled(any);
    m_moveUp->setEnabled(any && !m_inputs->isRowSelected(0));
    m_moveDown->setEnabled(any && !m_inputs->isRowSelected(count - 1));
    m_convert->setEnabled(count > 0);
}

bool CMainDlg::appendInput(const QString &path, QList<QTreeWidgetItem *> &batch, bool *full)
{
    if (m_inputs->topLevelItemCount() + batch.size() >= m_inputLimit) {
        *full = true;
        return false;
    }
    if (m_listed.contains(path))
        return true;
    m_listed.insert(path);
    batch.append(new QTreeWidgetItem(QStringList{path}));
    return true;
}

void CMainDlg::commitInputs(const QList<QTreeWidgetItem *> &batch, bool full)
{
    // One insertion for the whole batch keeps large folders quick to add.
    m_inputs->addTopLevelItems(batch);
    if (full)
        warningBox(strings::LimitExceeded, strings::WarningTitle);
    updateButtons();
    if (!batch.isEmpty())
        m_inputs->scrollToItem(batch.constLast());
}

int CMainDlg::addFiles(const QStringList &paths)
{
    QList<QTreeWidgetItem *> batch;
    bool full = false;
    for (const QString &path : paths)
        if (!appendInput(path, batch, &full))
            break;
    commitInputs(batch, full);
    return batch.size();
}

void CMainDlg::addFolder(const QString &folder, bool recursive)
{
    m_lastInputFolder = folder;
    QList<QTreeWidgetItem *> batch;
    bool full = false;
    scanFolderAllMasks(folder, recursive, [this, &batch, &full](const QString &path) {
        return appendInput(path, batch, &full);
    });
    commitInputs(batch, full);
}

void CMainDlg::addDropped(const QStringList &paths)
{
    QStringList files;
    for (const QString &path : paths) {
        const QFileInfo info(path);
        if (info.isDir()) {
            addFiles(files);
            files.clear();
            addFolder(info.absoluteFilePath(), false);
        } else if (info.isFile() && isSupportedInputName(path)) {
            files << info.absoluteFilePath();
        }
    }
    addFiles(files);
}

void CMainDlg::removeSelected()
{
    // Taking all items out and putting the kept ones back costs one pass,
    // where removing them one by one would cost a pass each.
    QList<QTreeWidgetItem *> kept;
    QList<QTreeWidgetItem *> removed;
    const int count = m_inputs->topLevelItemCount();
    for (int i = 0; i < count; ++i) {
        QTreeWidgetItem *item = m_inputs->topLevelItem(i);
        (item->isSelected() ? removed : kept).append(item);
    }
    if (removed.isEmpty())
        return;
    m_inputs->invisibleRootItem()->takeChildren();
    m_inputs->addTopLevelItems(kept);
    for (QTreeWidgetItem *item : removed) {
        m_listed.remove(item->text(0));
        delete item;
    }
    updateButtons();
}

void CMainDlg::moveSelected(int offset)
{
    const int count = m_inputs->topLevelItemCount();
    std::vector<bool> selected(std::size_t(count), false);
    for (int i = 0; i < count; ++i)
        selected[std::size_t(i)] = m_inputs->isRowSelected(i);
    QTreeWidgetItem *current = m_inputs->currentItem();
    for (const MoveStep &step : blockMoveSteps(selected, offset)) {
        QTreeWidgetItem *item = m_inputs->takeTopLevelItem(step.first);
        m_inputs->insertTopLevelItem(step.second, item);
        item->setSelected(true);
    }
    if (current)
        m_inputs->setCurrentItem(current, 0, QItemSelectionModel::NoUpdate);
    m_inputs->setFocus();
    updateButtons();
}

void CMainDlg::onAddFile()
{
    if (m_inputs->topLevelItemCount() >= m_inputLimit) {
        warningBox(strings::LimitExceeded, strings::WarningTitle);
        return;
    }
    const QStringList files = chooseInputFiles(
        this, loadText(strings::SelectFilesToConvert, m_language), m_lastInputFolder);
    if (!files.isEmpty())
        addFiles(files);
}

void CMainDlg::onAddFolder()
{
    bool recursive = false;
    const QString folder = chooseInputFolder(
        this, m_lastInputFolder, loadText(strings::IncludeSubfolders, m_language), &recursive);
    if (!folder.isEmpty())
        addFolder(folder, recursive);
}

void CMainDlg::onBrowse()
{
    const QString folder =
        chooseOutputFolder(this, loadText(strings::SelectOutputFolder, m_language), m_outputFolder);
    if (!folder.isEmpty())
        setOutputFolder(folder);
}

void CMainDlg::onSettings()
{
    if (isRunning())
        return;
    CAdvSettingsDlg dialog(m_converter.settings(), this, m_language);
    dialog.setHelpFilePath(m_helpFilePath);
    dialog.setSimpleMode(m_simpleMode);
    if (dialog.exec() == QDialog::Accepted) {
        m_converter.settings() = dialog.settings();
        SaveSettings(m_converter.settings(), m_store);
    }
    m_simpleMode = dialog.isSimpleMode();
    if (!m_store.WriteBool(QLatin1String(MainSection), QStringLiteral("IsSimpleMode"),
                           m_simpleMode))
        errorBox(strings::SaveFailed, strings::ErrorTitle);
}

void CMainDlg::setRunControlsEnabled(bool enabled)
{
    const std::initializer_list<QWidget *> controls{m_inputs,   m_outputs, m_addFile,  m_addFolder,
                                                    m_remove,   m_moveUp,  m_moveDown, m_browse,
                                                    m_settings, m_convert};
    for (QWidget *control : controls)
        control->setEnabled(enabled);
}

void CMainDlg::onConvert()
{
    // The progress window pumps events during the run, so a second Convert
    // (or any other caller) may arrive here while a run is under way.
    if (!m_converter.beginRun())
        return;
    logLine(QStringLiteral("CMainDlg::OnConvert"));
    takeControls();
    const QStringList inputs = m_inputs->paths();
    const int count = inputs.size();
    const bool makeOne = m_converter.allToOne();
    const QString extension = m_converter.outputExtension();

    // An output that is an input, or two inputs of one name writing one PDF: refused before
    // anything is written, as the command line refuses them.
    const QString outputFolder = runFolder();
    if (QFileInfo(outputFolder).isDir() &&
        checkRun(m_converter, inputs,
                 [&](int i) { return outputPathOf(inputs[i], outputFolder, extension); }) != 0) {
        m_converter.showMessage(m_converter.failureReason(),
                                loadText(strings::ErrorTitle, m_language), MessageIcon::Error);
        m_converter.endRun();
        return;
    }

    m_progress = new CProgressDlg(this, m_language);
    m_progress->setRangeMaximum(5 * qint64(count));
    m_progress->show();
    m_converter.setProgress(m_progress);
    m_outputs->clear();
    setRunControlsEnabled(false);

    if (batchRunner() && QFileInfo(runFolder()).isDir()) {
        convertInWorkers(inputs);
        finishRun();
        return;
    }
    for (int k = 0; k < count; ++k) {
        const QString &input = inputs[k];
        m_progress->setUpperText(loadText(strings::ConvertingFile, m_language) + fileNameOf(input) +
                                 QStringLiteral("..."));
        m_progress->setLowerText(QString());
        CProgressDlg::pumpMessages();

        const QString folder = runFolder();
        if (!QFileInfo(folder).isDir()) {
            formattedErrorBox(strings::FolderMissing, folder, strings::ErrorTitle);
            continue;
        }
        const QString output = outputPathOf(input, folder, extension);
        m_converter.setFirstFile(k == 0);
        m_converter.setLastFile(k == count - 1);
        const int result = m_converter.Convert(input, output);
        if (result == 0) {
            if (!makeOne || k == 0)
                m_outputs->addTopLevelItem(new QTreeWidgetItem(QStringList{output}));
            continue;
        }
        if (result > 1000 && m_converter.messagesEnabled())
            formattedErrorBox(strings::ConversionFailed, input, result, strings::ErrorTitle);
        dropUnreadableLastOutput();
        break;
    }
    finishRun();
}

QString CMainDlg::runFolder() const
{
    QString folder = m_outputFolder;
    if (folder.size() > 1 && folder.endsWith(QLatin1Char('/')))
        folder.chop(1);
    return folder;
}

QString CMainDlg::outputPathOf(const QString &input, const QString &folder,
                               const QString &extension) const
{
    return (folder == QLatin1String("/") ? QString() : folder) + QLatin1Char('/') +
           fileNameOf(input) + QLatin1Char('.') + extension;
}

void CMainDlg::dropUnreadableLastOutput()
{
    if (QTreeWidgetItem *last = m_outputs->topLevelItem(m_outputs->topLevelItemCount() - 1)) {
        QFile file(last->text(0));
        if (!file.open(QIODevice::ReadOnly))
            delete m_outputs->takeTopLevelItem(m_outputs->topLevelItemCount() - 1);
    }
}

void CMainDlg::convertInWorkers(const QStringList &inputs)
{
    const QString folder = runFolder();
    const QString extension = m_converter.outputExtension();
    const bool makeOne = m_converter.allToOne();
    QVector<BatchJob> jobs;
    jobs.reserve(inputs.size());
    for (const QString &input : inputs)
        jobs.append({input, outputPathOf(input, folder, extension)});
    if (!inputs.isEmpty())
        m_progress->setUpperText(loadText(strings::ConvertingFile, m_language) +
                                 fileNameOf(inputs.constFirst()) + QStringLiteral("..."));
    const int result = batchRunner()->convertJobs(m_converter, jobs, [&](const BatchStep &step) {
        if (step.result == 0) {
            if (!makeOne || step.number == 1)
                m_outputs->addTopLevelItem(new QTreeWidgetItem(QStringList{step.output}));
        } else {
            logLine(QStringLiteral("%1: %2 (%3)").arg(step.input, step.reason).arg(step.result));
            // The worker's converter showed its own boxes; a worker that died
            // or was ended could not.
            const bool workerEnded =
                step.result == ConvertResult::WorkerDied || step.result == ConvertResult::TimedOut;
            if ((step.result > 1000 || workerEnded) && m_converter.messagesEnabled())
                formattedErrorBox(strings::ConversionFailed, step.input, step.result,
                                  strings::ErrorTitle);
        }
        m_progress->step(5);
        if (step.number < step.count)
            m_progress->setUpperText(loadText(strings::ConvertingFile, m_language) +
                                     fileNameOf(inputs[step.number]) + QStringLiteral("..."));
    });
    if (result != 0)
        dropUnreadableLastOutput();
}

void CMainDlg::finishRun()
{
    m_converter.setProgress(nullptr);
    if (m_progress) {
        m_progress->hide();
        m_progress->deleteLater();
    }
    m_progress = nullptr;
    m_converter.endRun();
    setRunControlsEnabled(true);
    updateButtons();
    m_convert->setFocus();

    // Work that arrived during the run, then a close that was asked for.
    std::vector<std::function<void()>> work;
    work.swap(m_idleWork);
    for (auto &item : work)
        item();
    if (m_closeAfterRun) {
        m_closeAfterRun = false;
        close();
    }
}

void CMainDlg::receiveHandOff(const QString &text)
{
    runWhenIdle([this, text] { m_lastHandOffText = text; });
}

void CMainDlg::runWhenIdle(std::function<void()> work)
{
    if (isRunning())
        m_idleWork.push_back(std::move(work));
    else
        work();
}

void CMainDlg::openDocument(const QString &path)
{
    if (platform::shellOpen(path) <= 32)
        formattedErrorBox(strings::CannotCreateProcess, path, strings::ErrorTitle);
}

void CMainDlg::openSelectedOutput()
{
    const QList<QTreeWidgetItem *> selected = m_outputs->selectedItems();
    if (!selected.isEmpty())
        openDocument(selected.constFirst()->text(0));
}

void CMainDlg::onInputKey(int key)
{
    if (key == Qt::Key_Delete) {
        takeControls();
        removeSelected();
    } else if (key == Qt::Key_Insert) {
        onAddFile();
    }
}

void CMainDlg::onOutputKey(int key)
{
    if (key == Qt::Key_Return || key == Qt::Key_Enter)
        openSelectedOutput();
}

void CMainDlg::closeEvent(QCloseEvent *event)
{
    if (isRunning()) {
        // Cancel first; the run ends at the converter's next look at the
        // flag, and the window closes then.
        m_closeAfterRun = true;
        if (m_progress)
            m_progress->cancel();
        event->ignore();
        return;
    }
    takeControls();
    saveMainSettings();
    QDialog::done(2); // hides the window and reports finished(2)
    event->accept();
}

void CMainDlg::reject()
{
    // Escape closes the window, but has no meaning while a run pumps events;
    // the close box still does (closeEvent cancels the run first).
    if (!isRunning())
        close();
}

void CMainDlg::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_F1:
        openHelp(m_helpFilePath);
        event->accept();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // The window never closes or converts on Enter.
        event->accept();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

void CMainDlg::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    m_resizer.resize(size());
}

bool CMainDlg::event(QEvent *event)
{
    // While a run shows its progress window, the focus stays there.
    if (event->type() == QEvent::WindowActivate && isRunning() && m_progress &&
        m_progress->isVisible())
        m_progress->activateWindow();
    return QDialog::event(event);
}

} // namespace quirex::app::ui
