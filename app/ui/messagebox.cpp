#include "messagebox.h"

#include "headlessapplication.h"
#include "stringtable.h"
#include "textformat.h"

#include <QApplication>
#include <QMessageBox>

namespace quirex::app::ui
{

namespace
{

bool canShowWindows()
{
    if (qobject_cast<QApplication *>(QCoreApplication::instance()))
        return !platform::isHeadlessPlatform();
    if (QCoreApplication::instance())
        return false; // a non-widget application cannot show a box
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return false;
    return platform::ensureApplication() && !platform::isHeadlessPlatform();
}

} // namespace

MessageAnswer showMessageBox(const QString &text, const QString &title, MessageIcon icon,
                             MessageButtons buttons)
{
    if (!canShowWindows())
        return reportWithoutDisplay(text, title, icon, buttons);
    QMessageBox::Icon boxIcon = QMessageBox::Critical;
    if (icon == MessageIcon::Warning)
        boxIcon = QMessageBox::Warning;
    else if (icon == MessageIcon::Information)
        boxIcon = QMessageBox::Information;
    QMessageBox box(boxIcon, title, text,
                    buttons == MessageButtons::YesNo ? QMessageBox::Yes | QMessageBox::No
                                                     : QMessageBox::Ok);
    // Text from outside (paths, addresses) must never be read as markup.
    box.setTextFormat(Qt::PlainText);
    const int answer = box.exec();
    if (buttons == MessageButtons::Ok)
        return MessageAnswer::Ok;
    return answer == QMessageBox::Yes ? MessageAnswer::Yes : MessageAnswer::No;
}

void errorBox(int textId, int titleId)
{
    showMessageBox(loadText(textId), loadText(titleId), MessageIcon::Error);
}

void warningBox(int textId, int titleId)
{
    showMessageBox(loadText(textId), loadText(titleId), MessageIcon::Warning);
}

void formattedErrorBox(int formatId, const QString &text, int titleId)
{
    showMessageBox(fillFormat(loadText(formatId), {text}), loadText(titleId), MessageIcon::Error);
}

void formattedErrorBox(int formatId, const QString &text, qint64 number, int titleId)
{
    showMessageBox(fillFormat(loadText(formatId), {text, number}), loadText(titleId),
                   MessageIcon::Error);
}

void engineExceptionBox(int32_t code, const QString &errorText)
{
    showMessageBox(engineExceptionText(code, errorText), QStringLiteral("Error"),
                   MessageIcon::Error);
}

} // namespace quirex::app::ui
