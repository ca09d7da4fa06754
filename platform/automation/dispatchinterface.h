#pragma once

#include "interfaces.h"
#include "variant.h"

#include <QHash>
#include <QMap>
#include <QString>
#include <QVector>

struct QMetaObject;

namespace quirex::automation
{

struct DispatchParameter {
    QString name; // as declared; interface descriptions prefix it with "p_"
    VarType type;
};

struct DispatchMember {
    enum class Kind { Property, Method };

    DISPID id = DISPID_UNKNOWN;
    Kind kind = Kind::Property;
    QString name;
    VarType type = VarType::Empty; // the property's type or the method's result (Empty: none)
    bool readOnly = false;
    bool inherited = false; // declared by a base class
    int metaIndex = -1;     // property index, or method index of the full signature
    QVector<DispatchParameter> parameters;
    // Argument count -> method index: the full signature and the shorter forms that default
    // arguments give.
    QMap<int, int> signatures;
};

// The dispatch interface of a QObject class, derived from its meta-object.
//
// Exposed members: every property and every public slot whose types cross the interface (int,
// bool, double and QString; slots may also return nothing) and which QObject itself does not
// declare: QObject's "objectName" and "deleteLater" would let a client rename or destroy an object
// it only holds a reference to. Signals, protected and private slots are never exposed, nor are
// enum, flag and non-scriptable properties or members of any other type.
//
// Dispatch ids: the exposed properties get ids from 1 on, those of base classes first (from
// QObject's subclass down), then the class's own in declaration order; the exposed slots are
// numbered on from there in the same order. So the class's own properties, and its own slots,
// have consecutive ids in declaration order. The shorter forms of a slot with default arguments
// share the slot's id; an overloaded slot gets one id per overload, its name finding the first.
class DispatchInterface final
{
public:
    explicit DispatchInterface(const QMetaObject *metaObject);

    const QMetaObject *metaObject() const { return m_metaObject; }
    // The class name without namespace ("QUIREX", "PdfDocument").
    QString className() const;
    const QVector<DispatchMember> &members() const { return m_members; }
    // Null for an unknown id.
    const DispatchMember *member(DISPID id) const;
    // Case-insensitive; DISPID_UNKNOWN for an unknown name.
    DISPID idOfName(const QString &name) const;
    // Methods with this name (any case) that accept `argumentCount` arguments: the overload's
    // own id first, then the other overloads. Null when none does.
    const DispatchMember *methodFor(DISPID id, int argumentCount, int *metaIndex) const;

    // The variant type of a Qt meta type that crosses the interface; false for others.
    static bool variantTypeOf(int metaType, VarType *type);

private:
    const QMetaObject *m_metaObject;
    QVector<DispatchMember> m_members;
    QHash<QString, int> m_byName; // lower-case name -> first member index
};

} // namespace quirex::automation
