#include "advsettingsdlg.h"

#include "dialogunits.h"
#include "encodingtable.h"
#include "helpviewer.h"
#include "mybutton.h"
#include "mycombobox.h"
#include "numberexchange.h"
#include "papertable.h"
#include "stringids.h"
#include "updowncontrol.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

namespace quirex::app::ui
{

namespace
{

QLabel *addLabel(QWidget *dialog, const DialogUnits &du, const char *id, const QString &text,
                 Qt::Alignment alignment, QRect dlu)
{
    auto *label = new QLabel(text, dialog);
    label->setObjectName(QString::fromLatin1(id));
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(alignment | Qt::AlignTop);
    place(label, du, dlu.x(), dlu.y(), dlu.width(), dlu.height());
    return label;
}

QCheckBox *addCheck(QWidget *dialog, const DialogUnits &du, const char *id, const QString &text,
                    QRect dlu)
{
    auto *check = new QCheckBox(text, dialog);
    check->setObjectName(QString::fromLatin1(id));
    place(check, du, dlu.x(), dlu.y(), dlu.width(), dlu.height());
    return check;
}

CMyComboBox *addList(QWidget *dialog, const DialogUnits &du, const char *id, int x, int y,
                     int width)
{
    auto *combo = new CMyComboBox(dialog);
    combo->setObjectName(QString::fromLatin1(id));
    combo->setGeometry(du.x(x), du.y(y), du.x(width), combo->sizeHint().height());
    return combo;
}

void selectIndex(QComboBox *combo, int index)
{
    combo->setCurrentIndex(index >= 0 && index < combo->count() ? index : -1);
}

// A list without a selection gives its field the field's default.
int selectedIndex(const QComboBox *combo, int fallback)
{
    return combo->currentIndex() >= 0 ? combo->currentIndex() : fallback;
}

} // namespace

CAdvSettingsDlg::CAdvSettingsDlg(const ConversionSettings &settings, QWidget *owner, int language)
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , m_settings(settings)
    , m_helpFilePath(defaultHelpFilePath())
{
    setObjectName(QStringLiteral("CAdvSettingsDlg"));
    setFont(dialogFont());
    buildControls(language);
    recordToControls();

    // The lists: orientation, encodings and papers, at the stored indices.
    m_orientation->addItem(loadText(strings::Portrait, language));
    m_orientation->addItem(loadText(strings::Landscape, language));
    m_encoding->addItems(encodingNames());
    m_paper->addItems(paperNames());
    selectIndex(m_orientation, m_settings.Orientation);
    selectIndex(m_encoding, m_settings.Encoding);
    selectIndex(m_paper, m_settings.PaperSize);

    // Each spin follows its box; a zoom of 0 or less (the engine's own) puts
    // the zoom spin at 100.
    for (int i = 0; i < NumberFieldCount; ++i) {
        const auto which = NumberField(i);
        m_spins[i]->setRange(0, MaxSettingNumber);
        const int value = field(which);
        m_spins[i]->setPosition(which == Zoom && value <= 0 ? 100 : (value & 0xFFFF));
        connect(m_edits[i], &QLineEdit::textChanged, this, [this, which] { onEditChanged(which); });
        connect(m_spins[i], &UpDownControl::deltaRequested, this,
                [this, which](int position, int delta) { onSpinDelta(which, position, delta); });
    }
    connect(m_preserveLinks, &QCheckBox::clicked, this, &CAdvSettingsDlg::onPreserveLinksClicked);
    m_excludeOrphans->hide();
    if (owner) {
        const QRect frame = owner->window()->geometry();
        move(frame.center() - rect().center());
    }
}

void CAdvSettingsDlg::buildControls(int language)
{
    const DialogUnits du(font());
    const auto text = [language](int id) { return loadText(id, language); };
    const Qt::Alignment right = Qt::AlignRight;

    // Group boxes first, so the controls drawn over them stay on top.
    auto *pageInfo = new QGroupBox(text(strings::PageInfo), this);
    pageInfo->setObjectName(QStringLiteral("1020"));
    place(pageInfo, du, 7, 7, 138, 115);
    auto *misc = new QGroupBox(text(strings::Misc), this);
    misc->setObjectName(QStringLiteral("1031"));
    place(misc, du, 150, 7, 150, 115);

    addLabel(this, du, "1027", text(strings::SizeLabel), right, {13, 19, 45, 8});
    m_paper = addList(this, du, "1108", 61, 17, 70);
    addLabel(this, du, "1028", text(strings::OrientationLabel), right, {13, 36, 45, 8});
    m_orientation = addList(this, du, "1109", 61, 34, 70);
    addLabel(this, du, "1034", text(strings::Margins), Qt::AlignHCenter, {13, 54, 127, 8});

    struct NumberBox {
        NumberField field;
        const char *label;
        int labelText;
        QRect labelPlace;
        const char *edit;
        const char *spin;
        QPoint editAt;
        QPoint spinAt;
    };
    const NumberBox boxes[] = {
        {Left, "1035", strings::LeftLabel, {13, 67, 27, 8}, "1128", "1129", {41, 65}, {63, 65}},
        {Top, "1037", strings::TopLabel, {76, 68, 29, 8}, "1132", "1133", {107, 65}, {129, 65}},
        {Right, "1036", strings::RightLabel, {13, 89, 27, 8}, "1130", "1131", {41, 86}, {63, 85}},
        {Bottom,
         "1038",
         strings::BottomLabel,
         {76, 88, 29, 8},
         "1134",
         "1135",
         {107, 86},
         {129, 85}},
        {Zoom,
         "1047",
         strings::ZoomLabel,
         {20, 108, 81, 8},
         "1136",
         "1137",
         {106, 106},
         {129, 106}},
    };
    for (const NumberBox &box : boxes) {
        addLabel(this, du, box.label, text(box.labelText), right, box.labelPlace);
        auto *edit = new QLineEdit(this);
        edit->setObjectName(QString::fromLatin1(box.edit));
        place(edit, du, box.editAt.x(), box.editAt.y(), 20, 14);
        auto *spin = new UpDownControl(this);
        spin->setObjectName(QString::fromLatin1(box.spin));
        place(spin, du, box.spinAt.x(), box.spinAt.y(), 12, 14);
        m_edits[box.field] = edit;
        m_spins[box.field] = spin;
    }

    addLabel(this, du, "1041", text(strings::EncodingLabel), right, {159, 19, 45, 8});
    m_encoding = addList(this, du, "1110", 206, 17, 70);
    m_preserveLinks = addCheck(this, du, "1100", text(strings::PreserveLinks), {158, 32, 76, 10});
    m_preserveLinks->setToolTip(text(strings::PreserveLinksTip));
    addLabel(this, du, "1042", text(strings::BaseUrlLabel), right, {153, 47, 51, 8});
    m_baseUrl = new QLineEdit(this);
    m_baseUrl->setObjectName(QStringLiteral("1012"));
    place(m_baseUrl, du, 206, 42, 94, 14);
    m_pageNumbers =
        addCheck(this, du, "1040", text(strings::InsertPageNumbers), {158, 60, 133, 10});
    m_pageNumbers->setToolTip(text(strings::PageNumbersTip));
    m_entireImages =
        addCheck(this, du, "1033", text(strings::PostEntireImages), {158, 74, 133, 10});
    m_entireTables =
        addCheck(this, du, "1043", text(strings::PostEntireTables), {158, 88, 133, 10});
    m_excludeOrphans =
        addCheck(this, du, "1032", text(strings::ExcludeOrphanPages), {158, 103, 133, 10});
    m_excludeOrphans->setToolTip(text(strings::ExcludeOrphanPagesTip));
    m_screenMedia = addCheck(this, du, "1044", text(strings::ScreenMedia), {158, 113, 133, 10});
    addLabel(this, du, "7008", text(strings::SettingsHelpHint), right, {7, 124, 293, 8})
        ->setEnabled(false);

    m_ok = new CMyButton(text(strings::Ok), this);
    m_ok->setObjectName(QStringLiteral("1"));
    m_ok->setDefault(true);
    m_ok->setToolTip(text(strings::OkTip));
    place(m_ok, du, 198, 138, 50, 14);
    connect(m_ok, &QPushButton::clicked, this, &CAdvSettingsDlg::accept);
    auto *cancel = new QPushButton(text(strings::Cancel), this);
    cancel->setObjectName(QStringLiteral("2"));
    cancel->setAutoDefault(false);
    cancel->setToolTip(text(strings::CancelTip));
    place(cancel, du, 250, 138, 50, 14);
    connect(cancel, &QPushButton::clicked, this, &CAdvSettingsDlg::reject);

    setWindowTitle(text(strings::PdfSettingsTitle));
    setFixedSize(du.x(307), du.y(152));
    fitCaptions(this, du.x(4));
}

void CAdvSettingsDlg::recordToControls()
{
    m_baseUrl->setText(m_settings.BaseURL);
    m_preserveLinks->setChecked(m_settings.PreserveLinks);
    m_excludeOrphans->setChecked(m_settings.ExcludeOrphanPages);
    m_pageNumbers->setChecked(m_settings.PageNumbers);
    m_entireImages->setChecked(m_settings.PostEntireImages);
    m_entireTables->setChecked(m_settings.PostEntireTables);
    m_screenMedia->setChecked(m_settings.ScreenMedia);
    for (int i = 0; i < NumberFieldCount; ++i)
        m_edits[i]->setText(QString::number(field(NumberField(i))));
}

int &CAdvSettingsDlg::field(NumberField which)
{
    switch (which) {
    case Left:
        return m_settings.MarginLeft;
    case Right:
        return m_settings.MarginRight;
    case Top:
        return m_settings.MarginTop;
    case Bottom:
        return m_settings.MarginBottom;
    case Zoom:
    case NumberFieldCount:
        break;
    }
    return m_settings.Zoom;
}

bool CAdvSettingsDlg::exchange(NumberField which)
{
    const NumberExchange result = exchangeNumber(m_edits[which]->text());
    field(which) = result.value;
    if (result.corrected) {
        m_edits[which]->setText(QString::number(result.value));
        m_edits[which]->setFocus();
    }
    return !result.corrected;
}

void CAdvSettingsDlg::onEditChanged(NumberField which)
{
    exchange(which);
    if (!m_writingNumber)
        m_spins[which]->setPosition(field(which) & 0xFFFF);
}

void CAdvSettingsDlg::onSpinDelta(NumberField which, int position, int delta)
{
    const int value = qBound(0, position + delta, MaxSettingNumber);
    field(which) = value;
    m_spins[which]->setPosition(value);
    m_writingNumber = true;
    m_edits[which]->setText(QString::number(value));
    m_writingNumber = false;
}

void CAdvSettingsDlg::takeTextAndChecks()
{
    m_settings.BaseURL = m_baseUrl->text();
    m_settings.PreserveLinks = m_preserveLinks->isChecked();
    m_settings.ExcludeOrphanPages = m_excludeOrphans->isChecked();
    m_settings.PageNumbers = m_pageNumbers->isChecked();
    m_settings.PostEntireImages = m_entireImages->isChecked();
    m_settings.PostEntireTables = m_entireTables->isChecked();
    m_settings.ScreenMedia = m_screenMedia->isChecked();
}

void CAdvSettingsDlg::onPreserveLinksClicked()
{
    takeTextAndChecks();
    for (NumberField which : {Left, Right, Top, Bottom, Zoom})
        if (!exchange(which))
            break;
    m_baseUrl->setEnabled(m_preserveLinks->isChecked());
}

void CAdvSettingsDlg::accept()
{
    takeTextAndChecks();
    // A box whose text had to be corrected keeps the dialog open, showing the
    // corrected value, so that nothing the user did not see is stored.
    for (NumberField which : {Left, Right, Top, Bottom, Zoom})
        if (!exchange(which))
            return;
    m_settings.Orientation = selectedIndex(m_orientation, 0);
    m_settings.PaperSize = selectedIndex(m_paper, 4);
    m_settings.Encoding = selectedIndex(m_encoding, DefaultEncoding);
    QDialog::accept();
}

void CAdvSettingsDlg::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_F1) {
        openHelp(m_helpFilePath, QString::fromLatin1(HelpTopicSettings));
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace quirex::app::ui
