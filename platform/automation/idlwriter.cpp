#include "idlwriter.h"

namespace quirex::automation
{

namespace
{

QString idlType(VarType type)
{
    switch (type) {
    case VarType::I4:
        return QStringLiteral("int");
    case VarType::Bool:
        return QStringLiteral("VARIANT_BOOL");
    case VarType::R8:
        return QStringLiteral("double");
    case VarType::BStr:
        return QStringLiteral("BSTR");
    case VarType::Empty:
        break;
    }
    return QStringLiteral("void");
}

QString methodLine(const DispatchMember &member)
{
    const int required = member.signatures.isEmpty() ? 0 : member.signatures.firstKey();
    QStringList parameters;
    for (int i = 0; i < member.parameters.size(); ++i) {
        const DispatchParameter &parameter = member.parameters.at(i);
        const QString attributes =
            i >= required ? QStringLiteral("[in, optional] ") : QStringLiteral("[in] ");
        parameters.append(attributes + idlType(parameter.type) + QLatin1String(" p_") +
                          parameter.name);
    }
    return QStringLiteral("\t\t[id(%1)] %2 %3(%4);\n")
        .arg(member.id)
        .arg(idlType(member.type), member.name, parameters.join(QLatin1String(", ")));
}

} // namespace

QString interfaceDescription(const QString &libraryName, const Guid &typeLibrary,
                             const QString &version, const QVector<IdlClass> &classes)
{
    QString out;
    out += QStringLiteral("/* Interface description of the component library \"%1\". */\n\n")
               .arg(libraryName);
    out += QStringLiteral("import \"ocidl.idl\";\n\n");
    out +=
        QStringLiteral("[\n\tuuid(%1),\n\tversion(%2),\n\thelpstring(\"%3 %2 Type Library\")\n]\n")
            .arg(typeLibrary.toBareString(), version, libraryName);
    out += QStringLiteral("library %1Lib\n{\n").arg(libraryName);
    out += QStringLiteral("\timportlib(\"stdole32.tlb\");\n\timportlib(\"stdole2.tlb\");\n");

    for (const IdlClass &cls : classes) {
        const QString className = cls.interface->className();
        out += QStringLiteral("\n\t[\n\t\tuuid(%1),\n\t\thelpstring(\"%2 Interface\")\n\t]\n")
                   .arg(cls.iid.toBareString(), className);
        out += QStringLiteral("\tdispinterface I%1\n\t{\n\tproperties:\n").arg(className);
        for (const DispatchMember &member : cls.interface->members()) {
            if (member.kind != DispatchMember::Kind::Property)
                continue;
            out += QStringLiteral("\t\t[id(%1)%2] %3 %4;\n")
                       .arg(member.id)
                       .arg(member.readOnly ? QStringLiteral(", readonly") : QString(),
                            idlType(member.type), member.name);
        }
        out += QStringLiteral("\tmethods:\n");
        for (const DispatchMember &member : cls.interface->members()) {
            if (member.kind == DispatchMember::Kind::Method)
                out += methodLine(member);
        }
        out += QStringLiteral("\t};\n");
        out += QStringLiteral("\n\t[\n\t\tuuid(%1),\n\t\thelpstring(\"%2 Class\")\n\t]\n")
                   .arg(cls.clsid.toBareString(), className);
        out += QStringLiteral("\tcoclass %1\n\t{\n\t\t[default] dispinterface I%1;\n\t};\n")
                   .arg(className);
    }
    out += QStringLiteral("};\n");
    return out;
}

} // namespace quirex::automation
