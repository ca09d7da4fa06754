#pragma once

#include <QObject>
#include <QSize>
#include <QString>

// A test class with members of every type that crosses the dispatch interface.
class Gadget : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("ClassID", "{3F2B6C1E-9A4D-4E7B-8C21-5D0A7E6B9F01}")
    Q_CLASSINFO("InterfaceID", "{3F2B6C1E-9A4D-4E7B-8C21-5D0A7E6B9F02}")
    Q_PROPERTY(int Count READ count WRITE setCount)
    Q_PROPERTY(bool Active READ isActive WRITE setActive)
    Q_PROPERTY(double Ratio READ ratio WRITE setRatio)
    Q_PROPERTY(QString Title READ title WRITE setTitle)
    Q_PROPERTY(int Serial READ serial)
    Q_PROPERTY(QSize Extent READ extent)

public:
    Gadget() = default;

    int count() const { return m_count; }
    void setCount(int count) { m_count = count; }
    bool isActive() const { return m_active; }
    void setActive(bool active) { m_active = active; }
    double ratio() const { return m_ratio; }
    void setRatio(double ratio) { m_ratio = ratio; }
    QString title() const { return m_title; }
    void setTitle(const QString &title) { m_title = title; }
    int serial() const { return 42; }
    QSize extent() const { return QSize(1, 2); }

public slots:
    int Add(int first, int second) { return first + second; }
    bool Negate(bool flag) { return !flag; }
    double Half(double value) { return value / 2; }
    QString Join(const QString &first, const QString &second = QStringLiteral("-"))
    {
        return first + second;
    }
    void Reset();
    void Fail(const QString &message);
    void Crash();
    QSize Measure() { return QSize(); }

signals:
    void Changed();

private slots:
    void m_Hidden() {}

private:
    int m_count = 0;
    bool m_active = false;
    double m_ratio = 0.0;
    QString m_title;
};
