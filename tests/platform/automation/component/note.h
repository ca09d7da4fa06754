#pragma once

#include <QObject>
#include <QString>

namespace sample
{

// A test class in a namespace, registered under a ProgID of its own and with ids given in the
// factory list.
class Note : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString Text READ text WRITE setText)

public:
    QString text() const { return m_text; }
    void setText(const QString &text) { m_text = text; }

public slots:
    int Length() { return int(m_text.size()); }

private:
    QString m_text;
};

} // namespace sample
