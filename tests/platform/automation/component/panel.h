#pragma once

#include <QString>
#include <QWidget>

// A test widget class: its dispatch interface also carries inherited widget members.
class Panel : public QWidget
{
    Q_OBJECT
    Q_CLASSINFO("ClassID", "{3F2B6C1E-9A4D-4E7B-8C21-5D0A7E6B9F11}")
    Q_CLASSINFO("InterfaceID", "{3F2B6C1E-9A4D-4E7B-8C21-5D0A7E6B9F12}")
    Q_PROPERTY(QString Caption READ caption WRITE setCaption)

public:
    explicit Panel(QWidget *parent = nullptr)
        : QWidget(parent)
    {
    }
    QString caption() const { return m_caption; }
    void setCaption(const QString &caption) { m_caption = caption; }

public slots:
    QString Describe() { return m_caption + QLatin1Char('/') + windowTitle(); }

private:
    QString m_caption;
};
