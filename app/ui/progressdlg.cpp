#include "progressdlg.h"

#include "dialogunits.h"
#include "stringids.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>

#include <algorithm>
#include <limits>

namespace quirex::app::ui
{

CProgressDlg::CProgressDlg(QWidget *owner, int language)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("CProgressDlg"));
    setFont(dialogFont());
    const DialogUnits du(font());

    auto *overall = new QLabel(loadText(strings::OverallProgress, language), this);
    overall->setObjectName(QStringLiteral("7006"));
    overall->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    place(overall, du, 7, 7, 199, 8);

    m_bar = new QProgressBar(this);
    m_bar->setObjectName(QStringLiteral("1014"));
    m_bar->setTextVisible(false);
    m_bar->setRange(0, 0);
    m_bar->setValue(0);
    place(m_bar, du, 7, 16, 200, 14);

    m_upper = new QLabel(this);
    m_upper->setObjectName(QStringLiteral("1010"));
    m_upper->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_upper->setTextFormat(Qt::PlainText);
    place(m_upper, du, 7, 36, 200, 17);

    m_lower = new QLabel(this);
    m_lower->setObjectName(QStringLiteral("1009"));
    m_lower->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_lower->setTextFormat(Qt::PlainText);
    place(m_lower, du, 7, 54, 200, 17);

    m_cancel = new QPushButton(loadText(strings::Cancel, language), this);
    m_cancel->setObjectName(QStringLiteral("2"));
    m_cancel->setAutoDefault(false);
    place(m_cancel, du, 82, 76, 50, 14);
    connect(m_cancel, &QPushButton::clicked, this, &CProgressDlg::cancel);

    setWindowTitle(loadText(strings::Converting, language));
    setFixedSize(du.x(214), du.y(97));
    fitCaptions(this, du.x(7));
    if (owner) {
        const QRect frame = owner->window()->geometry();
        move(frame.center() - rect().center());
    }
}

void CProgressDlg::setRangeMaximum(qint64 maximum)
{
    const qint64 limited = std::clamp<qint64>(maximum, 0, std::numeric_limits<int>::max());
    m_bar->setRange(0, int(limited));
    m_bar->setValue(0);
}

int CProgressDlg::rangeMaximum() const
{
    return m_bar->maximum();
}

int CProgressDlg::value() const
{
    return m_bar->value();
}

void CProgressDlg::setUpperText(const QString &text)
{
    m_upper->setText(text);
}

void CProgressDlg::setLowerText(const QString &text)
{
    m_lower->setText(text);
}

void CProgressDlg::step(int units)
{
    const qint64 next = qint64(m_bar->value()) + std::max(units, 0);
    m_bar->setValue(int(std::min<qint64>(next, m_bar->maximum())));
    pumpMessages();
}

void CProgressDlg::pumpMessages()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void CProgressDlg::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        event->accept();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

void CProgressDlg::closeEvent(QCloseEvent *event)
{
    event->ignore();
}

} // namespace quirex::app::ui
