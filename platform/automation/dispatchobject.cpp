#include "dispatchobject.h"

#include "comerror.h"

#include <QMetaMethod>
#include <QMetaProperty>
#include <QObject>
#include <QThread>
#include <QVariant>

#include <array>
#include <new>

namespace quirex::automation
{

namespace
{

// Storage for one argument or result of a meta-call, in the declared type.
struct Value {
    VarType type = VarType::Empty;
    int i = 0;
    bool b = false;
    double d = 0.0;
    QString s;

    void set(const Variant &variant)
    {
        type = variant.type();
        i = variant.toInt();
        b = variant.toBool();
        d = variant.toDouble();
        s = variant.toString();
    }
    void *data()
    {
        switch (type) {
        case VarType::I4:
            return &i;
        case VarType::Bool:
            return &b;
        case VarType::R8:
            return &d;
        case VarType::BStr:
            return &s;
        case VarType::Empty:
            break;
        }
        return nullptr;
    }
    const char *typeName() const
    {
        switch (type) {
        case VarType::I4:
            return "int";
        case VarType::Bool:
            return "bool";
        case VarType::R8:
            return "double";
        case VarType::BStr:
            return "QString";
        case VarType::Empty:
            break;
        }
        return nullptr;
    }
    Variant toVariant() const
    {
        switch (type) {
        case VarType::I4:
            return Variant(i);
        case VarType::Bool:
            return Variant(b);
        case VarType::R8:
            return Variant(d);
        case VarType::BStr:
            return Variant(s);
        case VarType::Empty:
            break;
        }
        return Variant();
    }
};

Variant fromQVariant(const QVariant &value, VarType type)
{
    switch (type) {
    case VarType::I4:
        return Variant(value.toInt());
    case VarType::Bool:
        return Variant(value.toBool());
    case VarType::R8:
        return Variant(value.toDouble());
    case VarType::BStr:
        return Variant(value.toString());
    case VarType::Empty:
        break;
    }
    return Variant();
}

QVariant toQVariant(const Variant &value)
{
    switch (value.type()) {
    case VarType::I4:
        return QVariant(value.toInt());
    case VarType::Bool:
        return QVariant(value.toBool());
    case VarType::R8:
        return QVariant(value.toDouble());
    case VarType::BStr:
        return QVariant(value.toString());
    case VarType::Empty:
        break;
    }
    return QVariant();
}

} // namespace

DispatchObject::DispatchObject(QObject *object, const DispatchInterface *interface, const Guid &iid)
    : m_object(object)
    , m_interface(interface)
    , m_iid(iid)
{
}

DispatchObject::~DispatchObject()
{
    QObject *object = m_object.data();
    if (!object)
        return;
    if (object->thread() == QThread::currentThread())
        delete object;
    else
        object->deleteLater();
}

HRESULT DispatchObject::QueryInterface(const Guid &iid, void **object)
{
    if (!object)
        return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IDispatch || (!m_iid.isNull() && iid == m_iid)) {
        *object = static_cast<IDispatch *>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

std::uint32_t DispatchObject::AddRef()
{
    return ++m_references;
}

std::uint32_t DispatchObject::Release()
{
    const std::uint32_t left = --m_references;
    if (left == 0)
        delete this;
    return left;
}

HRESULT DispatchObject::GetIDsOfNames(const QStringList &names, QVector<DISPID> *ids)
{
    if (!ids)
        return E_POINTER;
    ids->fill(DISPID_UNKNOWN, names.size());
    if (!m_object)
        return RPC_E_DISCONNECTED;
    if (m_object->thread() != QThread::currentThread())
        return RPC_E_WRONG_THREAD;
    if (names.isEmpty())
        return S_OK;
    const DISPID id = m_interface->idOfName(names.first());
    (*ids)[0] = id;
    if (id == DISPID_UNKNOWN)
        return DISP_E_UNKNOWNNAME;
    HRESULT hr = S_OK;
    const DispatchMember *member = m_interface->member(id);
    for (int i = 1; i < names.size(); ++i) {
        QString wanted = names.at(i);
        if (wanted.startsWith(QLatin1String("p_"), Qt::CaseInsensitive))
            wanted = wanted.mid(2);
        for (int p = 0; p < member->parameters.size(); ++p) {
            if (member->parameters.at(p).name.compare(wanted, Qt::CaseInsensitive) == 0) {
                (*ids)[i] = p;
                break;
            }
        }
        if (ids->at(i) == DISPID_UNKNOWN)
            hr = DISP_E_UNKNOWNNAME;
    }
    return hr;
}

HRESULT DispatchObject::Invoke(DISPID id, std::uint16_t flags, const VariantList &args,
                               Variant *result, ExceptionInfo *exception, std::uint32_t *argError)
{
    if (exception)
        exception->clear();
    if (!m_object)
        return RPC_E_DISCONNECTED;
    if (m_object->thread() != QThread::currentThread())
        return RPC_E_WRONG_THREAD;

    // The member may release the last client reference (a nested event loop running other
    // code): keep this object alive until the call has returned.
    AddRef();
    HRESULT hr = E_FAIL;
    ExceptionInfo info;
    info.source = m_interface->className();
    try {
        hr = invokeMember(id, flags, args, result, argError);
    } catch (const ComError &error) {
        info.code = error.code();
        info.description = error.description();
        if (!error.source().isEmpty())
            info.source = error.source();
        hr = DISP_E_EXCEPTION;
    } catch (const std::bad_alloc &) {
        info.code = E_OUTOFMEMORY;
        hr = DISP_E_EXCEPTION;
    } catch (const std::exception &error) {
        info.code = E_FAIL;
        info.description = QString::fromLocal8Bit(error.what());
        hr = DISP_E_EXCEPTION;
    } catch (...) {
        info.code = E_FAIL;
        info.description = QStringLiteral("unknown exception");
        hr = DISP_E_EXCEPTION;
    }
    if (hr == DISP_E_EXCEPTION && exception)
        *exception = info;
    Release();
    return hr;
}

HRESULT DispatchObject::invokeMember(DISPID id, std::uint16_t flags, const VariantList &args,
                                     Variant *result, std::uint32_t *argError)
{
    const DispatchMember *member = m_interface->member(id);
    if (!member)
        return DISP_E_MEMBERNOTFOUND;
    QObject *object = m_object.data();
    const QMetaObject *metaObject = object->metaObject();

    if (member->kind == DispatchMember::Kind::Property) {
        const QMetaProperty property = metaObject->property(member->metaIndex);
        if (flags & DISPATCH_PROPERTYPUT) {
            if (member->readOnly)
                return DISP_E_MEMBERNOTFOUND;
            if (args.size() != 1)
                return DISP_E_BADPARAMCOUNT;
            Variant value;
            const HRESULT hr = args.first().changeType(member->type, &value);
            if (FAILED(hr)) {
                if (argError)
                    *argError = 0;
                return hr;
            }
            if (!property.write(object, toQVariant(value)))
                throw ComError(E_FAIL, QStringLiteral("the property refused the value"));
            if (result)
                *result = Variant();
            return S_OK;
        }
        if (!(flags & DISPATCH_PROPERTYGET))
            return DISP_E_MEMBERNOTFOUND;
        if (!args.isEmpty())
            return DISP_E_BADPARAMCOUNT;
        const QVariant value = property.read(object);
        if (result)
            *result = fromQVariant(value, member->type);
        return S_OK;
    }

    if (!(flags & DISPATCH_METHOD))
        return DISP_E_MEMBERNOTFOUND;
    int metaIndex = -1;
    const DispatchMember *chosen = m_interface->methodFor(id, args.size(), &metaIndex);
    if (!chosen)
        return DISP_E_BADPARAMCOUNT;

    std::array<Value, 10> values;
    std::array<QGenericArgument, 10> arguments;
    for (int i = 0; i < args.size(); ++i) {
        Variant converted;
        const HRESULT hr = args.at(i).changeType(chosen->parameters.at(i).type, &converted);
        if (FAILED(hr)) {
            if (argError)
                *argError = std::uint32_t(i);
            return hr;
        }
        values[size_t(i)].set(converted);
        arguments[size_t(i)] =
            QGenericArgument(values[size_t(i)].typeName(), values[size_t(i)].data());
    }
    Value returned;
    returned.type = chosen->type;
    const QGenericReturnArgument returnArgument(returned.typeName(), returned.data());
    const QMetaMethod method = metaObject->method(metaIndex);
    const bool invoked =
        method.invoke(object, Qt::DirectConnection, returnArgument, arguments[0], arguments[1],
                      arguments[2], arguments[3], arguments[4], arguments[5], arguments[6],
                      arguments[7], arguments[8], arguments[9]);
    if (!invoked)
        throw ComError(E_FAIL, QStringLiteral("the method could not be called"));
    if (result)
        *result = returned.toVariant();
    return S_OK;
}

} // namespace quirex::automation
