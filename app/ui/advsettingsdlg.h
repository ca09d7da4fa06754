#pragma once

#include "conversionsettings.h"
#include "stringtable.h"

#include <QDialog>

#include <array>

class QCheckBox;
class QLineEdit;

namespace quirex::app::ui
{

class CMyButton;
class CMyComboBox;
class UpDownControl;

// The modal "PDF Settings" dialog. It edits a copy of the Conversion
// settings: paper, orientation, margins, zoom, encoding, links and base URL,
// page numbers, whole images and tables. It reads and writes no file; the
// main window hands it the copy and takes it back after OK.
class CAdvSettingsDlg final : public QDialog
{
    Q_OBJECT
public:
    CAdvSettingsDlg(const ConversionSettings &settings, QWidget *owner,
                    int language = interfaceLanguage());

    // The record as edited (after OK: as taken from the controls).
    const ConversionSettings &settings() const { return m_settings; }

    // The simple/advanced view flag; no control changes it, the main window
    // reads it from and writes it to the settings file around each use.
    bool isSimpleMode() const { return m_simpleMode; }
    void setSimpleMode(bool simple) { m_simpleMode = simple; }

    // The help file F1 opens at the settings topic (default: the installed one).
    void setHelpFilePath(const QString &path) { m_helpFilePath = path; }

    void accept() override;

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    enum NumberField { Left, Right, Top, Bottom, Zoom, NumberFieldCount };

    void buildControls(int language);
    void recordToControls();
    int &field(NumberField which);
    // Runs the number exchange of one box; false when its text had to be
    // corrected (the box then shows the correction and has the focus).
    bool exchange(NumberField which);
    void onEditChanged(NumberField which);
    void onSpinDelta(NumberField which, int position, int delta);
    void takeTextAndChecks();
    void onPreserveLinksClicked();

    ConversionSettings m_settings;
    bool m_simpleMode = false;
    bool m_writingNumber = false;
    QString m_helpFilePath;

    std::array<QLineEdit *, NumberFieldCount> m_edits{};
    std::array<UpDownControl *, NumberFieldCount> m_spins{};
    CMyComboBox *m_paper = nullptr;
    CMyComboBox *m_orientation = nullptr;
    CMyComboBox *m_encoding = nullptr;
    QLineEdit *m_baseUrl = nullptr;
    QCheckBox *m_preserveLinks = nullptr;
    QCheckBox *m_pageNumbers = nullptr;
    QCheckBox *m_entireImages = nullptr;
    QCheckBox *m_entireTables = nullptr;
    QCheckBox *m_screenMedia = nullptr;
    QCheckBox *m_excludeOrphans = nullptr;
    CMyButton *m_ok = nullptr;
};

} // namespace quirex::app::ui
