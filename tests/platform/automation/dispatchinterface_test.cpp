#include "dispatchinterface.h"
#include "servermodule.h"

#include "gadget.h"
#include "panel.h"

#include <gtest/gtest.h>

using namespace quirex::automation;
using Kind = DispatchMember::Kind;

namespace
{

QStringList names(const DispatchInterface &interface, Kind kind, bool inherited)
{
    QStringList out;
    for (const DispatchMember &member : interface.members()) {
        if (member.kind == kind && member.inherited == inherited)
            out.append(member.name);
    }
    return out;
}

} // namespace

TEST(DispatchInterface, OwnMembersInDeclarationOrderWithConsecutiveIds)
{
    const DispatchInterface interface(&Gadget::staticMetaObject);
    const QStringList expected{
        QStringLiteral("Count"),  QStringLiteral("Active"), QStringLiteral("Ratio"),
        QStringLiteral("Title"),  QStringLiteral("Serial"), QStringLiteral("Add"),
        QStringLiteral("Negate"), QStringLiteral("Half"),   QStringLiteral("Join"),
        QStringLiteral("Reset"),  QStringLiteral("Fail"),   QStringLiteral("Crash")};
    ASSERT_EQ(interface.members().size(), expected.size());
    for (int i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(interface.members().at(i).name, expected.at(i));
        EXPECT_EQ(interface.members().at(i).id, i + 1);
        EXPECT_EQ(interface.members().at(i).kind, i < 5 ? Kind::Property : Kind::Method);
    }
}

TEST(DispatchInterface, HidesQObjectMembersSignalsPrivateSlotsAndOtherTypes)
{
    const DispatchInterface interface(&Gadget::staticMetaObject);
    for (const char *hidden :
         {"objectName", "deleteLater", "destroyed", "Changed", "m_Hidden", "Extent", "Measure"})
        EXPECT_EQ(interface.idOfName(QString::fromLatin1(hidden)), DISPID_UNKNOWN) << hidden;
}

TEST(DispatchInterface, NamesIgnoreCase)
{
    const DispatchInterface interface(&Gadget::staticMetaObject);
    EXPECT_EQ(interface.idOfName(QStringLiteral("count")), 1);
    EXPECT_EQ(interface.idOfName(QStringLiteral("COUNT")), 1);
    EXPECT_EQ(interface.idOfName(QStringLiteral("jOiN")), 9);
    EXPECT_EQ(interface.member(99), nullptr);
    EXPECT_EQ(interface.member(0), nullptr);
}

TEST(DispatchInterface, TypesReadOnlyAndDefaultArguments)
{
    const DispatchInterface interface(&Gadget::staticMetaObject);
    const DispatchMember *serial = interface.member(interface.idOfName(QStringLiteral("Serial")));
    EXPECT_TRUE(serial->readOnly);
    EXPECT_EQ(serial->type, VarType::I4);
    EXPECT_FALSE(interface.member(1)->readOnly);
    const DispatchMember *join = interface.member(interface.idOfName(QStringLiteral("Join")));
    EXPECT_EQ(join->type, VarType::BStr);
    ASSERT_EQ(join->parameters.size(), 2);
    EXPECT_EQ(join->parameters.at(1).name, QStringLiteral("second"));
    EXPECT_EQ(join->signatures.keys(), (QList<int>{1, 2}));
    int metaIndex = -1;
    EXPECT_NE(interface.methodFor(join->id, 1, &metaIndex), nullptr);
    EXPECT_EQ(interface.methodFor(join->id, 3, &metaIndex), nullptr);
    EXPECT_EQ(interface.member(interface.idOfName(QStringLiteral("Reset")))->type, VarType::Empty);
}

TEST(DispatchInterface, WidgetMembersComeBeforeTheClassesOwn)
{
    const DispatchInterface interface(&Panel::staticMetaObject);
    EXPECT_EQ(names(interface, Kind::Property, false), QStringList{QStringLiteral("Caption")});
    EXPECT_EQ(names(interface, Kind::Method, false), QStringList{QStringLiteral("Describe")});
    const QStringList inheritedProperties = names(interface, Kind::Property, true);
    const QStringList inheritedSlots = names(interface, Kind::Method, true);
    EXPECT_TRUE(inheritedProperties.contains(QStringLiteral("enabled")));
    EXPECT_TRUE(inheritedProperties.contains(QStringLiteral("windowTitle")));
    EXPECT_TRUE(inheritedSlots.contains(QStringLiteral("show")));
    EXPECT_TRUE(inheritedSlots.contains(QStringLiteral("close")));
    EXPECT_EQ(interface.idOfName(QStringLiteral("deleteLater")), DISPID_UNKNOWN);

    const DISPID caption = interface.idOfName(QStringLiteral("Caption"));
    const DISPID describe = interface.idOfName(QStringLiteral("Describe"));
    EXPECT_EQ(caption, inheritedProperties.size() + 1);
    EXPECT_LT(interface.idOfName(QStringLiteral("windowTitle")), caption);
    EXPECT_GT(interface.idOfName(QStringLiteral("show")), caption);
    EXPECT_EQ(describe, interface.members().size());
    EXPECT_EQ(describe, caption + inheritedSlots.size() + 1);
}

TEST(ComponentBaseName, DropsFolderPrefixAndExtensions)
{
    EXPECT_EQ(componentBaseName(QStringLiteral("/x/quirex.so")), QStringLiteral("quirex"));
    EXPECT_EQ(componentBaseName(QStringLiteral("/x/libquirex.so.5")), QStringLiteral("quirex"));
    EXPECT_EQ(componentBaseName(QStringLiteral("/x/lib.so")), QStringLiteral("lib"));
    EXPECT_EQ(componentBaseName(QStringLiteral("/x.y/gadgets")), QStringLiteral("gadgets"));
}
