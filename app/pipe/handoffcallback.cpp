#include "handoffcallback.h"

#include "applog.h"
#include "handoffmessage.h"
#include "handoffreceiver.h"
#include "registry.h"

#include <QCoreApplication>
#include <QEvent>
#include <QThread>

namespace quirex::app
{

HandOffCallback::HandOffCallback(const QString &registryPath, QObject *parent)
    : QObject(parent)
    , m_registryPath(registryPath.isEmpty() ? platform::Registry::defaultPath() : registryPath)
{
}

HandOffCallback::~HandOffCallback() = default;

void HandOffCallback::attach(QObject *window, HandOffReceiver *receiver)
{
    if (m_window)
        disconnect(m_window, &QObject::destroyed, this, nullptr);
    m_window = window;
    m_receiver = receiver;
    m_attached = window != nullptr;
    if (window)
        connect(window, &QObject::destroyed, this, [this] {
            m_receiver = nullptr;
            m_attached = false;
        });
}

int HandOffCallback::handOff(const QString &text)
{
    bool opened = false;
    const QString stored = handOffRegistryText(text);
    const bool written = platform::Registry(m_registryPath).edit([&](platform::RegistryData &data) {
        opened = true;
        return data.setValue(QLatin1String(kRegistryKey), QLatin1String(kRegistryValue),
                             platform::RegistryValue::fromString(stored));
    });
    if (!opened) {
        logLine(QStringLiteral("pipe_callback 1"));
        return -1;
    }
    if (!written) {
        logLine(QStringLiteral("pipe_callback 2"));
        return 0;
    }
    if (!m_attached)
        return 0;
    const QString forWindow = text.left(kHandOffWindowChars);
    if (QThread::currentThread() == thread())
        deliver(forWindow);
    else
        QMetaObject::invokeMethod(
            this, [this, forWindow] { deliver(forWindow); }, Qt::BlockingQueuedConnection);
    return 0;
}

void HandOffCallback::deliver(const QString &text)
{
    if (m_window && m_receiver)
        m_receiver->receiveHandOff(text);
}

void HandOffCallback::deliverPending()
{
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
}

} // namespace quirex::app
