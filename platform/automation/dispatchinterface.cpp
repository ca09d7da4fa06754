#include "dispatchinterface.h"

#include <QMetaMethod>
#include <QMetaObject>
#include <QMetaProperty>
#include <QObject>

namespace quirex::automation
{

namespace
{

bool exposedResult(int metaType, VarType *type)
{
    if (metaType == QMetaType::Void) {
        *type = VarType::Empty;
        return true;
    }
    return DispatchInterface::variantTypeOf(metaType, type);
}

} // namespace

bool DispatchInterface::variantTypeOf(int metaType, VarType *type)
{
    switch (metaType) {
    case QMetaType::Int:
        *type = VarType::I4;
        return true;
    case QMetaType::Bool:
        *type = VarType::Bool;
        return true;
    case QMetaType::Double:
        *type = VarType::R8;
        return true;
    case QMetaType::QString:
        *type = VarType::BStr;
        return true;
    default:
        return false;
    }
}

DispatchInterface::DispatchInterface(const QMetaObject *metaObject)
    : m_metaObject(metaObject)
{
    DISPID next = 1;
    const int ownProperties = metaObject->propertyOffset();
    const int ownMethods = metaObject->methodOffset();

    for (int i = QObject::staticMetaObject.propertyCount(); i < metaObject->propertyCount(); ++i) {
        const QMetaProperty property = metaObject->property(i);
        DispatchMember member;
        if (!property.isReadable() || !property.isScriptable() || property.isEnumType() ||
            property.isFlagType() || !variantTypeOf(property.userType(), &member.type))
            continue;
        member.id = next++;
        member.kind = DispatchMember::Kind::Property;
        member.name = QString::fromLatin1(property.name());
        member.readOnly = !property.isWritable();
        member.inherited = i < ownProperties;
        member.metaIndex = i;
        m_members.append(member);
    }

    for (int i = QObject::staticMetaObject.methodCount(); i < metaObject->methodCount(); ++i) {
        const QMetaMethod method = metaObject->method(i);
        if (method.methodType() != QMetaMethod::Slot || method.access() != QMetaMethod::Public ||
            method.parameterCount() > 10)
            continue;
        DispatchMember member;
        bool usable = exposedResult(method.returnType(), &member.type);
        const QList<QByteArray> names = method.parameterNames();
        for (int p = 0; usable && p < method.parameterCount(); ++p) {
            DispatchParameter parameter;
            usable = variantTypeOf(method.parameterType(p), &parameter.type);
            parameter.name = QString::fromLatin1(names.value(p));
            if (parameter.name.isEmpty())
                parameter.name = QStringLiteral("arg%1").arg(p + 1);
            member.parameters.append(parameter);
        }
        if (!usable)
            continue;
        const QString name = QString::fromLatin1(method.name());
        if (method.attributes() & QMetaMethod::Cloned) {
            // moc lists the shorter forms of a slot with default arguments right after it.
            if (!m_members.isEmpty() && m_members.last().kind == DispatchMember::Kind::Method &&
                m_members.last().name == name)
                m_members.last().signatures.insert(method.parameterCount(), i);
            continue;
        }
        member.id = next++;
        member.kind = DispatchMember::Kind::Method;
        member.name = name;
        member.inherited = i < ownMethods;
        member.metaIndex = i;
        member.signatures.insert(method.parameterCount(), i);
        m_members.append(member);
    }

    for (int i = 0; i < m_members.size(); ++i) {
        const QString key = m_members.at(i).name.toLower();
        if (!m_byName.contains(key))
            m_byName.insert(key, i);
    }
}

QString DispatchInterface::className() const
{
    // Interface descriptions and ProgIDs want the name without its C++ namespace.
    const QString name = QString::fromLatin1(m_metaObject->className());
    return name.mid(name.lastIndexOf(QLatin1Char(':')) + 1);
}

const DispatchMember *DispatchInterface::member(DISPID id) const
{
    // Ids are consecutive from 1.
    if (id < 1 || id > m_members.size())
        return nullptr;
    return &m_members.at(id - 1);
}

DISPID DispatchInterface::idOfName(const QString &name) const
{
    auto it = m_byName.constFind(name.toLower());
    return it == m_byName.constEnd() ? DISPID_UNKNOWN : m_members.at(*it).id;
}

const DispatchMember *DispatchInterface::methodFor(DISPID id, int argumentCount,
                                                   int *metaIndex) const
{
    const DispatchMember *first = member(id);
    if (!first || first->kind != DispatchMember::Kind::Method)
        return nullptr;
    auto it = first->signatures.constFind(argumentCount);
    if (it != first->signatures.constEnd()) {
        *metaIndex = *it;
        return first;
    }
    for (const DispatchMember &other : m_members) {
        if (&other == first || other.kind != DispatchMember::Kind::Method ||
            other.name.compare(first->name, Qt::CaseInsensitive) != 0)
            continue;
        auto found = other.signatures.constFind(argumentCount);
        if (found != other.signatures.constEnd()) {
            *metaIndex = *found;
            return &other;
        }
    }
    return nullptr;
}

} // namespace quirex::automation
