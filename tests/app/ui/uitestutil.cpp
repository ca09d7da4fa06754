#include "uitestutil.h"

#include "messagebox.h"
#include "testenvironment.h"
#include "waituntil.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDropEvent>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTimer>

namespace quirex::test
{

void answerNextModal(std::function<void(QWidget *dialog)> answer)
{
    auto *timer = new QTimer;
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, [timer, answer] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible())
            return;
        timer->stop();
        timer->deleteLater();
        answer(modal);
    });
    timer->start();
}

void dropOn(QWidget *target, const QPoint &at, const QMimeData *data, Qt::DropAction action)
{
    QDragEnterEvent enter(at, action, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDropEvent drop(at, action, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
}

BoxRecorder::BoxRecorder()
{
    app::setHeadlessMessageSink([this](const QString &line) { lines << line; });
}

BoxRecorder::~BoxRecorder()
{
    app::setHeadlessMessageSink({});
}

OpenRecorder::OpenRecorder()
    : m_record(scratchFolder() + QStringLiteral("/opened.txt"))
{
    const QString script =
        writeFile(QStringLiteral("opener.sh"),
                  "#!/bin/sh\nprintf '%s\\n' \"$1\" >> '" + QFile::encodeName(m_record) + "'\n");
    QFile::setPermissions(script, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    qputenv("QUIREX_OPEN_COMMAND", QFile::encodeName(script));
}

QStringList OpenRecorder::opened(int expected) const
{
    QStringList lines;
    waitUntil([&] {
        QFile file(m_record);
        if (file.open(QIODevice::ReadOnly))
            lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        return lines.size() >= expected;
    });
    return lines;
}

QStringList cutOffCaptions(const QWidget *window)
{
    QStringList cut;
    const auto report = [&cut](const QWidget *widget, const QString &text, int needed, int room) {
        cut << QStringLiteral("%1: \"%2\" needs %3 px, has %4 px")
                   .arg(widget->objectName(), text)
                   .arg(needed)
                   .arg(room);
    };
    for (const QLabel *label : window->findChildren<QLabel *>()) {
        if (label->isHidden() || label->text().isEmpty() || label->wordWrap())
            continue;
        const QFontMetrics metrics(label->font());
        const QStringList lines = label->text().split(QLatin1Char('\n'));
        int width = 0;
        for (const QString &line : lines)
            width = qMax(width, metrics.horizontalAdvance(line));
        const QRect room = label->contentsRect();
        if (width > room.width() || metrics.height() * lines.size() > room.height() + 2)
            report(label, label->text(), width, room.width());
    }
    for (const QAbstractButton *button : window->findChildren<QAbstractButton *>()) {
        if (button->isHidden() || button->text().isEmpty())
            continue;
        const QFontMetrics metrics(button->font());
        int needed = metrics.horizontalAdvance(button->text());
        if (qobject_cast<const QCheckBox *>(button)) {
            QStyleOptionButton option;
            option.initFrom(button);
            needed +=
                button->style()->pixelMetric(QStyle::PM_IndicatorWidth, &option, button) +
                button->style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, &option, button);
        } else if (qobject_cast<const QPushButton *>(button)) {
            needed += 6; // the button's frame and a little air on each side
        } else {
            continue;
        }
        if (needed > button->width())
            report(button, button->text(), needed, button->width());
    }
    for (const QGroupBox *box : window->findChildren<QGroupBox *>()) {
        const QFontMetrics metrics(box->font());
        const int needed = metrics.horizontalAdvance(box->title()) + 16;
        if (needed > box->width())
            report(box, box->title(), needed, box->width());
    }
    return cut;
}

} // namespace quirex::test
