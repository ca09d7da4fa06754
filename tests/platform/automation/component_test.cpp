#include "automationobject.h"
#include "comerror.h"
#include "componentregistry.h"
#include "objectcreation.h"
#include "registry.h"
#include "systemmessage.h"
#include "testenvironment.h"
#include "toolrunner.h"

#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <thread>

using namespace quirex::automation;
using namespace quirex::test;

namespace
{
QString componentPath()
{
    return QFileInfo(QStringLiteral(AUTOMATION_TEST_COMPONENT)).canonicalFilePath();
}
} // namespace
using quirex::platform::Registry;

namespace
{

const QString gadget = QStringLiteral("automationtest.Gadget");
const QString gadgetClsid = QStringLiteral("{3F2B6C1E-9A4D-4E7B-8C21-5D0A7E6B9F01}");
const QString gadgetIid = QStringLiteral("{3F2B6C1E-9A4D-4E7B-8C21-5D0A7E6B9F02}");

QString classes(const QString &path)
{
    return QStringLiteral("Software\\Classes\\") + path;
}

class Component : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(registerComponent(componentPath()));
        ASSERT_EQ(object.create(gadget), S_OK) << object.exceptionInfo().description.toStdString();
    }

    AutomationObject object;
};

} // namespace

TEST_F(Component, RegistrationWritesTheClassKeys)
{
    const Registry registry;
    EXPECT_EQ(registry.stringValue(classes(gadget + QStringLiteral("\\CLSID")), QString()),
              gadgetClsid);
    EXPECT_EQ(registry.stringValue(classes(gadget + QStringLiteral(".1\\CLSID")), QString()),
              gadgetClsid);
    const QString clsidKey = classes(QStringLiteral("CLSID\\") + gadgetClsid);
    EXPECT_EQ(registry.stringValue(clsidKey + QStringLiteral("\\InprocServer32"), QString()),
              componentPath());
    EXPECT_EQ(registry.stringValue(clsidKey + QStringLiteral("\\ProgID"), QString()),
              gadget + QStringLiteral(".1"));
    EXPECT_EQ(registry.stringValue(classes(QStringLiteral("Interface\\") + gadgetIid), QString()),
              QStringLiteral("IGadget"));
    EXPECT_EQ(registry.stringValue(
                  classes(QStringLiteral("TypeLib\\{3F2B6C1E-9A4D-4E7B-8C21-5D0A7E6B9F21}\\1.0")),
                  QString()),
              QStringLiteral("automationtestLib"));
}

TEST_F(Component, UnregistrationRemovesTheClassesAndNothingElse)
{
    Registry registry;
    ASSERT_TRUE(registry.setString(QStringLiteral("Software\\Ardenwyke\\Vellumine"),
                                   QStringLiteral("tmpIniPath"), QStringLiteral("/x")));
    EXPECT_EQ(runTool(QStringLiteral("regsvr"), {QStringLiteral("-u"), componentPath()}).exitCode,
              0);
    EXPECT_FALSE(registry.keyExists(classes(gadget)));
    EXPECT_FALSE(registry.keyExists(classes(QStringLiteral("CLSID\\") + gadgetClsid)));
    EXPECT_FALSE(registry.keyExists(classes(QStringLiteral("automationtest.Panel"))));
    EXPECT_EQ(registry.stringValue(QStringLiteral("Software\\Ardenwyke\\Vellumine"),
                                   QStringLiteral("tmpIniPath")),
              QStringLiteral("/x"));
    AutomationObject another;
    EXPECT_EQ(another.create(gadget), CO_E_CLASSSTRING);
}

TEST_F(Component, ValuesCrossInTheirDeclaredTypes)
{
    EXPECT_EQ(object.setProperty(QStringLiteral("Count"), Variant(5)), S_OK);
    EXPECT_TRUE(object.propertyOrThrow(QStringLiteral("count")) == Variant(5));
    EXPECT_EQ(object.setProperty(QStringLiteral("Active"), Variant(QStringLiteral("true"))), S_OK);
    EXPECT_TRUE(object.propertyOrThrow(QStringLiteral("Active")) == Variant(true));
    EXPECT_EQ(object.setProperty(QStringLiteral("Ratio"), Variant(QStringLiteral("2.5"))), S_OK);
    EXPECT_TRUE(object.propertyOrThrow(QStringLiteral("Ratio")) == Variant(2.5));
    EXPECT_EQ(object.setProperty(QStringLiteral("Title"), Variant(12)), S_OK);
    EXPECT_TRUE(object.propertyOrThrow(QStringLiteral("Title")) == Variant(QStringLiteral("12")));
    EXPECT_TRUE(object.propertyOrThrow(QStringLiteral("Serial")) == Variant(42));

    EXPECT_TRUE(object.callOrThrow(QStringLiteral("Add"),
                                   {Variant(QStringLiteral("2")), Variant(3.4)}) == Variant(5));
    EXPECT_TRUE(object.callOrThrow(QStringLiteral("Negate"), {Variant(true)}) == Variant(false));
    EXPECT_TRUE(object.callOrThrow(QStringLiteral("Half"), {Variant(3)}) == Variant(1.5));
    EXPECT_TRUE(object.callOrThrow(QStringLiteral("Join"), {Variant(QStringLiteral("a"))}) ==
                Variant(QStringLiteral("a-")));
    EXPECT_TRUE(object.callOrThrow(QStringLiteral("Join"),
                                   {Variant(QStringLiteral("a")), Variant(QStringLiteral("b"))}) ==
                Variant(QStringLiteral("ab")));
    EXPECT_TRUE(object.callOrThrow(QStringLiteral("Reset")).isEmpty());
    EXPECT_TRUE(object.propertyOrThrow(QStringLiteral("Count")) == Variant(0));
}

TEST_F(Component, CallsByDispatchId)
{
    DISPID add = DISPID_UNKNOWN;
    ASSERT_EQ(object.dispatchId(QStringLiteral("ADD"), &add), S_OK);
    EXPECT_EQ(add, 6);
    Variant result;
    EXPECT_EQ(object.call(add, {Variant(1), Variant(2)}, &result), S_OK);
    EXPECT_TRUE(result == Variant(3));
    EXPECT_EQ(object.property(5, &result), S_OK);
    EXPECT_TRUE(result == Variant(42));
}

struct FailureCase {
    const char *name;
    std::uint16_t flags;
    const char *member;
    VariantList args;
    HRESULT expected;
};

// Names the case in test output instead of its bytes.
void PrintTo(const FailureCase &c, std::ostream *os)
{
    *os << c.name;
}

class ComponentFailure : public Component, public testing::WithParamInterface<FailureCase>
{
};

TEST_P(ComponentFailure, AnswersTheRightCode)
{
    const FailureCase &c = GetParam();
    DISPID id = DISPID_UNKNOWN;
    HRESULT hr = object.dispatchId(QString::fromLatin1(c.member), &id);
    if (SUCCEEDED(hr)) {
        Variant result;
        ExceptionInfo info;
        std::uint32_t argError = 99;
        hr = object.dispatch()->Invoke(id, c.flags, c.args, &result, &info, &argError);
        if (c.expected == DISP_E_TYPEMISMATCH) {
            EXPECT_EQ(argError, 0u);
        }
    }
    EXPECT_EQ(hr, c.expected) << hresultHex(hr).toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ComponentFailure,
    testing::Values(
        FailureCase{"UnknownName", DISPATCH_METHOD, "Nope", {}, DISP_E_UNKNOWNNAME},
        FailureCase{"HiddenSlot", DISPATCH_METHOD, "m_Hidden", {}, DISP_E_UNKNOWNNAME},
        FailureCase{"Signal", DISPATCH_METHOD, "Changed", {}, DISP_E_UNKNOWNNAME},
        FailureCase{"NotANumber",
                    DISPATCH_METHOD,
                    "Add",
                    {Variant(QStringLiteral("abc")), Variant(1)},
                    DISP_E_TYPEMISMATCH},
        FailureCase{"PutNotANumber",
                    DISPATCH_PROPERTYPUT,
                    "Count",
                    {Variant(QStringLiteral("abc"))},
                    DISP_E_TYPEMISMATCH},
        FailureCase{"PutTooBig", DISPATCH_PROPERTYPUT, "Count", {Variant(1e10)}, DISP_E_OVERFLOW},
        FailureCase{"TooFewArguments", DISPATCH_METHOD, "Add", {Variant(1)}, DISP_E_BADPARAMCOUNT},
        FailureCase{"TooManyArguments",
                    DISPATCH_METHOD,
                    "Join",
                    {Variant(1), Variant(2), Variant(3)},
                    DISP_E_BADPARAMCOUNT},
        FailureCase{"PutWithoutValue", DISPATCH_PROPERTYPUT, "Count", {}, DISP_E_BADPARAMCOUNT},
        FailureCase{
            "GetWithArgument", DISPATCH_PROPERTYGET, "Count", {Variant(1)}, DISP_E_BADPARAMCOUNT},
        FailureCase{
            "PutReadOnly", DISPATCH_PROPERTYPUT, "Serial", {Variant(1)}, DISP_E_MEMBERNOTFOUND},
        FailureCase{"PropertyCalled", DISPATCH_METHOD, "Count", {}, DISP_E_MEMBERNOTFOUND},
        FailureCase{"MethodRead", DISPATCH_PROPERTYGET, "Reset", {}, DISP_E_MEMBERNOTFOUND},
        FailureCase{
            "MethodWritten", DISPATCH_PROPERTYPUT, "Reset", {Variant(1)}, DISP_E_MEMBERNOTFOUND}),
    [](const testing::TestParamInfo<FailureCase> &info) { return std::string(info.param.name); });

TEST_F(Component, ExceptionsInMembersBecomeExceptionInfo)
{
    EXPECT_EQ(object.call(QStringLiteral("Fail"), {Variant(QStringLiteral("bad input"))}),
              E_INVALIDARG);
    EXPECT_EQ(object.exceptionInfo().description, QStringLiteral("bad input"));
    EXPECT_EQ(object.exceptionInfo().source, QStringLiteral("Gadget"));

    Variant result;
    ExceptionInfo info;
    std::uint32_t argError = 0;
    DISPID crash = DISPID_UNKNOWN;
    ASSERT_EQ(object.dispatchId(QStringLiteral("Crash"), &crash), S_OK);
    EXPECT_EQ(object.dispatch()->Invoke(crash, DISPATCH_METHOD, {}, &result, &info, &argError),
              DISP_E_EXCEPTION);
    EXPECT_EQ(info.code, E_FAIL);
    EXPECT_EQ(info.description, QStringLiteral("gadget crashed"));

    try {
        object.callOrThrow(QStringLiteral("Add"), {Variant(1)});
        FAIL() << "no ComError";
    } catch (const ComError &error) {
        EXPECT_EQ(error.code(), DISP_E_BADPARAMCOUNT);
        EXPECT_EQ(error.text(), QStringLiteral("Invalid number of parameters."));
    }
    // The object still works after all of these.
    EXPECT_TRUE(object.callOrThrow(QStringLiteral("Add"), {Variant(1), Variant(1)}) == Variant(2));
}

TEST_F(Component, InterfacesByQuery)
{
    IDispatch *dispatch = object.dispatch();
    void *found = nullptr;
    EXPECT_EQ(dispatch->QueryInterface(*Guid::fromString(gadgetIid), &found), S_OK);
    EXPECT_EQ(found, static_cast<void *>(dispatch));
    static_cast<IDispatch *>(found)->Release();
    EXPECT_EQ(dispatch->QueryInterface(IID_IClassFactory, &found), E_NOINTERFACE);
    EXPECT_EQ(found, nullptr);

    void *created = nullptr;
    EXPECT_EQ(
        CoCreateInstance(*Guid::fromString(gadgetClsid), *Guid::fromString(gadgetIid), &created),
        S_OK);
    ASSERT_NE(created, nullptr);
    static_cast<IDispatch *>(created)->Release();
}

TEST_F(Component, CreationByInterfaceIdTellsWhichStepFailed)
{
    AutomationObject byIid;
    CreationStep step = CreationStep::ResolveProgId;
    ASSERT_EQ(byIid.create(gadget, *Guid::fromString(gadgetIid), &step), S_OK);
    EXPECT_EQ(step, CreationStep::None);
    Variant sum;
    EXPECT_EQ(byIid.call(QStringLiteral("Add"),
                         {Variant(std::int32_t(2)), Variant(std::int32_t(3))}, &sum),
              S_OK);
    EXPECT_EQ(sum.toInt(), 5);

    // Another class's interface: the ProgID resolved, but no object has it.
    EXPECT_EQ(byIid.create(gadget, IID_IClassFactory, &step), E_NOINTERFACE);
    EXPECT_EQ(step, CreationStep::CreateObject);
    EXPECT_TRUE(byIid.isNull());
    EXPECT_EQ(
        byIid.create(QStringLiteral("automationtest.Nothing"), *Guid::fromString(gadgetIid), &step),
        CO_E_CLASSSTRING);
    EXPECT_EQ(step, CreationStep::ResolveProgId);
}

TEST_F(Component, WidgetClassesCarryTheWidgetMembers)
{
    AutomationObject panel;
    ASSERT_EQ(panel.create(QStringLiteral("automationtest.Panel")), S_OK);
    panel.setPropertyOrThrow(QStringLiteral("windowTitle"), Variant(QStringLiteral("w")));
    panel.setPropertyOrThrow(QStringLiteral("Caption"), Variant(QStringLiteral("c")));
    EXPECT_TRUE(panel.callOrThrow(QStringLiteral("Describe")) == Variant(QStringLiteral("c/w")));
    EXPECT_TRUE(panel.propertyOrThrow(QStringLiteral("enabled")) == Variant(true));
}

TEST_F(Component, ClassesWithTheirOwnProgId)
{
    AutomationObject note;
    ASSERT_EQ(note.create(QStringLiteral("Sample.Note3")), S_OK);
    note.setPropertyOrThrow(QStringLiteral("Text"), Variant(QStringLiteral("four")));
    EXPECT_TRUE(note.callOrThrow(QStringLiteral("Length")) == Variant(4));
    EXPECT_EQ(note.create(QStringLiteral("automationtest.Note")), CO_E_CLASSSTRING);
    EXPECT_EQ(runTool(QStringLiteral("regsvr"), {QStringLiteral("-u"), componentPath()}).exitCode,
              0);
    EXPECT_FALSE(Registry().keyExists(classes(QStringLiteral("Sample.Note3"))));
}

TEST_F(Component, OtherThreadsAreRefused)
{
    HRESULT invoke = S_OK;
    HRESULT names = S_OK;
    HRESULT create = S_OK;
    IDispatch *dispatch = object.dispatch();
    std::thread other([&] {
        Variant result;
        invoke = dispatch->Invoke(1, DISPATCH_PROPERTYGET, {}, &result, nullptr, nullptr);
        QVector<DISPID> ids;
        names = dispatch->GetIDsOfNames({QStringLiteral("Count")}, &ids);
        AutomationObject second;
        create = second.create(gadget);
    });
    other.join();
    EXPECT_EQ(invoke, RPC_E_WRONG_THREAD);
    EXPECT_EQ(names, RPC_E_WRONG_THREAD);
    EXPECT_EQ(create, RPC_E_WRONG_THREAD);
    AutomationObject third;
    EXPECT_EQ(third.create(gadget), S_OK);
}

TEST_F(Component, LibraryStaysLoaded)
{
    void *library =
        ::dlopen(QFile::encodeName(componentPath()).constData(), RTLD_NOW | RTLD_NOLOAD);
    ASSERT_NE(library, nullptr);
    auto canUnload = reinterpret_cast<DllCanUnloadNowFunction>(::dlsym(library, "DllCanUnloadNow"));
    ASSERT_NE(canUnload, nullptr);
    EXPECT_EQ(canUnload(), S_FALSE);
    ::dlclose(library); // only the reference taken just now
}

TEST_F(Component, InterfaceDescription)
{
    const QString file = quirex::test::scratchFolder() + QStringLiteral("/automationtest.idl");
    EXPECT_EQ(runTool(QStringLiteral("regsvr"), {QStringLiteral("--idl"), file, componentPath()})
                  .exitCode,
              0);
    QFile idl(file);
    ASSERT_TRUE(idl.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(idl.readAll());
    for (const char *expected :
         {"library automationtestLib\n", "uuid(3F2B6C1E-9A4D-4E7B-8C21-5D0A7E6B9F21)",
          "dispinterface IGadget\n", "coclass Gadget\n", "[default] dispinterface IGadget;",
          "uuid(3F2B6C1E-9A4D-4E7B-8C21-5D0A7E6B9F02)", "\t\t[id(1)] int Count;\n",
          "\t\t[id(2)] VARIANT_BOOL Active;\n", "\t\t[id(3)] double Ratio;\n",
          "\t\t[id(4)] BSTR Title;\n", "\t\t[id(5), readonly] int Serial;\n",
          "\t\t[id(6)] int Add([in] int p_first, [in] int p_second);\n",
          "\t\t[id(9)] BSTR Join([in] BSTR p_first, [in, optional] BSTR p_second);\n",
          "\t\t[id(10)] void Reset();\n", "dispinterface IPanel\n", "coclass Panel\n",
          "dispinterface INote\n", "uuid(3F2B6C1E-9A4D-4E7B-8C21-5D0A7E6B9F31)"})
        EXPECT_TRUE(text.contains(QString::fromLatin1(expected))) << expected;
    EXPECT_FALSE(text.contains(QStringLiteral("m_Hidden")));
    EXPECT_FALSE(text.contains(QStringLiteral("Changed")));
}

// Creation failures, without the component registered.

class ComponentCreation : public testing::Test
{
protected:
    void SetUp() override { QFile::remove(Registry::defaultPath()); }
};

TEST_F(ComponentCreation, UnknownProgIds)
{
    AutomationObject object;
    for (const char *progId : {"automationtest.Gadget", "", "Software\\Classes", "a\nb"})
        EXPECT_EQ(object.create(QString::fromLatin1(progId)), CO_E_CLASSSTRING) << progId;
    EXPECT_TRUE(object.isNull());
    EXPECT_EQ(object.call(QStringLiteral("Add")), E_POINTER);
}

struct RegistryFileCase {
    const char *name;
    const char *bytes; // null: no file
};

// Names the case in test output instead of its bytes.
void PrintTo(const RegistryFileCase &c, std::ostream *os)
{
    *os << c.name;
}

class ComponentRegistryFile : public testing::TestWithParam<RegistryFileCase>
{
};

TEST_P(ComponentRegistryFile, WithoutEntriesNothingResolves)
{
    const QString path = Registry::defaultPath();
    QFile::remove(path);
    if (GetParam().bytes) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(GetParam().bytes);
    }
    Guid clsid;
    EXPECT_EQ(CLSIDFromProgID(QStringLiteral("automationtest.Gadget"), &clsid), CO_E_CLASSSTRING);
    void *object = nullptr;
    EXPECT_EQ(CoCreateInstance(*Guid::fromString(gadgetClsid), IID_IDispatch, &object),
              REGDB_E_CLASSNOTREG);
}

INSTANTIATE_TEST_SUITE_P(Cases, ComponentRegistryFile,
                         testing::Values(RegistryFileCase{"Missing", nullptr},
                                         RegistryFileCase{"Empty", ""},
                                         RegistryFileCase{"Corrupt", "QuirexRegistry 1\n[Soft"}),
                         [](const testing::TestParamInfo<RegistryFileCase> &info) {
                             return std::string(info.param.name);
                         });

TEST_F(ComponentCreation, ProgIdOfAnUnregisteredClass)
{
    Registry registry;
    ASSERT_TRUE(registry.setString(classes(QStringLiteral("ghost.Class\\CLSID")), QString(),
                                   QStringLiteral("{11111111-2222-3333-4444-555555555555}")));
    AutomationObject object;
    EXPECT_EQ(object.create(QStringLiteral("GHOST.class")), REGDB_E_CLASSNOTREG);
}

namespace
{

// Registers `path` as the library of the gadget class and returns what creation answers.
HRESULT createFrom(const QString &path, ExceptionInfo *detail = nullptr)
{
    Registry registry;
    registry.setString(classes(gadget + QStringLiteral("\\CLSID")), QString(), gadgetClsid);
    registry.setString(
        classes(QStringLiteral("CLSID\\") + gadgetClsid + QStringLiteral("\\InprocServer32")),
        QString(), path);
    IDispatch *dispatch = nullptr;
    CreationStep step = CreationStep::None;
    const HRESULT hr = createDispatchObject(gadget, IID_IDispatch, &dispatch, detail, &step);
    if (dispatch)
        dispatch->Release();
    // The ProgID resolves here, so every failure is one of making the object.
    EXPECT_EQ(step, FAILED(hr) ? CreationStep::CreateObject : CreationStep::None);
    return hr;
}

QString copyOfComponent(const QString &folderName)
{
    const QString folder = quirex::test::makeFolder(folderName);
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QString copy = folder + QStringLiteral("/automationtest.so");
    QFile::copy(componentPath(), copy);
    return copy;
}

} // namespace

TEST_F(ComponentCreation, UntrustedLibraryPathsAreNotRegistered)
{
    const QString copy = copyOfComponent(QStringLiteral("lib"));
    ExceptionInfo detail;
    EXPECT_EQ(createFrom(QStringLiteral("automationtest.so")), REGDB_E_CLASSNOTREG);

    QFile::setPermissions(copy, QFile::permissions(copy) | QFile::WriteGroup);
    EXPECT_EQ(createFrom(copy, &detail), REGDB_E_CLASSNOTREG);
    EXPECT_TRUE(detail.description.contains(QStringLiteral("writable")))
        << detail.description.toStdString();
    const ToolRun run = runTool(QStringLiteral("regsvr"), {copy});
    EXPECT_EQ(run.exitCode, 5);
    EXPECT_TRUE(run.err.contains(QStringLiteral("0x80070005 Access is denied.")))
        << run.err.toStdString();

    QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QFile::setPermissions(QFileInfo(copy).absolutePath(), QFile::ReadOwner | QFile::WriteOwner |
                                                              QFile::ExeOwner | QFile::WriteOther |
                                                              QFile::ExeOther | QFile::ReadOther);
    EXPECT_EQ(createFrom(copy), REGDB_E_CLASSNOTREG);
}

TEST_F(ComponentCreation, MissingOrBrokenLibraries)
{
    const QString folder = quirex::test::makeFolder(QStringLiteral("broken"));
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(createFrom(folder + QStringLiteral("/missing.so")), CO_E_DLLNOTFOUND);
    const QString text = folder + QStringLiteral("/text.so");
    QFile file(text);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("not a library");
    file.close();
    ExceptionInfo detail;
    EXPECT_EQ(createFrom(text, &detail), CO_E_DLLNOTFOUND);
    EXPECT_FALSE(detail.description.isEmpty());
}

TEST(Regsvr, ExitCodesNameWhatFailed)
{
    EXPECT_EQ(runTool(QStringLiteral("regsvr"), {}).exitCode, 1);
    EXPECT_EQ(runTool(QStringLiteral("regsvr"), {QStringLiteral("-u"), QStringLiteral("--idl"),
                                                 QStringLiteral("x.idl"), componentPath()})
                  .exitCode,
              1);
    const QString text = quirex::test::writeFile(QStringLiteral("text.so"), "not a library");
    EXPECT_EQ(runTool(QStringLiteral("regsvr"), {text}).exitCode, 3);
    Dl_info info;
    ASSERT_NE(::dladdr(reinterpret_cast<void *>(&qVersion), &info), 0);
    const ToolRun run = runTool(QStringLiteral("regsvr"), {QFile::decodeName(info.dli_fname)});
    EXPECT_EQ(run.exitCode, 4);
    EXPECT_TRUE(run.err.contains(QStringLiteral("DllRegisterServer"))) << run.err.toStdString();
    const ToolRun registered = runTool(QStringLiteral("regsvr"), {componentPath()});
    EXPECT_EQ(registered.exitCode, 0);
    EXPECT_EQ(registered.out,
              QStringLiteral("DllRegisterServer in %1 succeeded.\n").arg(componentPath()));
}

TEST(SystemRegistry, RegsvrSystemServesEveryUserUntilUnregistered)
{
    // The test environment's XDG_CONFIG_DIRS is an empty folder of its own.
    const QString system = scratchFolder() + QStringLiteral("/xdg/Ardenwyke/registry.ini");
    ASSERT_EQ(Registry::systemPath(), system);
    const ToolRun added =
        runTool(QStringLiteral("regsvr"),
                {QStringLiteral("-s"), QStringLiteral("--system"), componentPath()});
    ASSERT_EQ(added.exitCode, 0) << qPrintable(added.err);
    EXPECT_FALSE(QFileInfo::exists(Registry::defaultPath())) << "the user's registry was written";
    const auto others = QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::WriteGroup;
    EXPECT_EQ(QFileInfo(system).permissions() & others, QFileDevice::ReadOther);

    // A user without a registry of their own creates the class.
    Guid clsid;
    ASSERT_EQ(CLSIDFromProgID(gadget, &clsid), S_OK);
    EXPECT_EQ(clsid.toString(), gadgetClsid);
    IDispatch *object = nullptr;
    ASSERT_EQ(createDispatchObject(gadget, &object), S_OK);
    object->Release();

    // The user's own entry wins over the system layer's.
    const QString other = QStringLiteral("{3F2B6C1E-9A4D-4E7B-8C21-5D0A7E6B9F99}");
    ASSERT_TRUE(
        Registry().setString(classes(gadget + QStringLiteral("\\CLSID")), QString(), other));
    ASSERT_EQ(CLSIDFromProgID(gadget, &clsid), S_OK);
    EXPECT_EQ(clsid.toString(), other);

    // A system file that others may change names nothing.
    const QString server =
        classes(QStringLiteral("CLSID\\") + gadgetClsid + QStringLiteral("\\InprocServer32"));
    EXPECT_TRUE(Registry().keyExists(server));
    QFile::setPermissions(system, QFileInfo(system).permissions() | QFileDevice::WriteOther);
    EXPECT_FALSE(Registry().keyExists(server));
    EXPECT_TRUE(Registry().readSystemLayer().isEmpty());
    QFile::setPermissions(system, QFileInfo(system).permissions() & ~QFileDevice::WriteOther);

    // Unregistering the last class leaves no file, lock or folder behind.
    const ToolRun removed =
        runTool(QStringLiteral("regsvr"), {QStringLiteral("-s"), QStringLiteral("-u"),
                                           QStringLiteral("--system"), componentPath()});
    EXPECT_EQ(removed.exitCode, 0) << qPrintable(removed.err);
    EXPECT_FALSE(QFileInfo::exists(QFileInfo(system).absolutePath()));
    EXPECT_FALSE(Registry().keyExists(server));
}
