#include "registry.h"

#include "testenvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <thread>
#include <vector>

using quirex::platform::Registry;
using quirex::platform::RegistryValue;

namespace
{

const QString vellumine = QStringLiteral("Software\\Ardenwyke\\Vellumine");

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

TEST(Registry, PathComesFromTheEnvironment)
{
    const QByteArray saved = qgetenv("QUIREX_REGISTRY");
    EXPECT_EQ(Registry::defaultPath(), QString::fromLocal8Bit(saved));
    qunsetenv("QUIREX_REGISTRY");
    EXPECT_EQ(Registry::defaultPath(),
              qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/Ardenwyke/registry.ini"));
    qputenv("XDG_CONFIG_HOME", "relative/folder");
    EXPECT_EQ(Registry::defaultPath(),
              QDir::homePath() + QStringLiteral("/.config/Ardenwyke/registry.ini"));
    qputenv("QUIREX_REGISTRY", saved);
}

TEST(Registry, WritesCreateTheFilePrivatelyAndReadBack)
{
    const QString path = quirex::test::scratchFolder() + QStringLiteral("/new/folder/registry.ini");
    Registry registry(path);
    EXPECT_TRUE(registry.read().isEmpty());
    ASSERT_TRUE(
        registry.setString(vellumine, QStringLiteral("tmpIniPath"), QStringLiteral("/x.ini")));
    ASSERT_TRUE(registry.setInteger(vellumine, QStringLiteral("Count"), 12));
    EXPECT_EQ(Registry(path).stringValue(vellumine, QStringLiteral("TMPINIPATH")),
              QStringLiteral("/x.ini"));
    EXPECT_EQ(Registry(path).value(vellumine, QStringLiteral("count"))->toInteger(), 12);
    EXPECT_EQ(QFileInfo(path).permissions() &
                  (QFile::ReadGroup | QFile::ReadOther | QFile::WriteGroup | QFile::WriteOther),
              QFile::Permissions());
    // Nothing but the file and its lock is left beside it.
    EXPECT_EQ(QDir(QFileInfo(path).absolutePath()).entryList(QDir::Files),
              (QStringList{QStringLiteral("registry.ini"), QStringLiteral("registry.ini.lock")}));
}

TEST(Registry, AFileChangedInPlaceIsReadAgain)
{
    // Rewritten by another program at once, in place and to the same length:
    // what was read before is not served again.
    const QString path = quirex::test::scratchFolder() + QStringLiteral("/registry.ini");
    Registry registry(path);
    ASSERT_TRUE(registry.setString(vellumine, QStringLiteral("Mode"), QStringLiteral("aaaa")));
    EXPECT_EQ(registry.stringValue(vellumine, QStringLiteral("Mode")), QStringLiteral("aaaa"));
    QByteArray bytes = contents(path);
    bytes.replace("aaaa", "bbbb");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_EQ(file.write(bytes), bytes.size());
    file.close();
    EXPECT_EQ(registry.stringValue(vellumine, QStringLiteral("Mode")), QStringLiteral("bbbb"));
    ASSERT_TRUE(QFile::remove(path));
    EXPECT_FALSE(registry.value(vellumine, QStringLiteral("Mode")));
}

TEST(Registry, RemovalsReportWhetherAnythingWasThere)
{
    Registry registry;
    ASSERT_TRUE(
        registry.setString(vellumine + QStringLiteral("\\Sub"), QString(), QStringLiteral("x")));
    EXPECT_FALSE(registry.removeValue(vellumine, QStringLiteral("missing")));
    EXPECT_TRUE(registry.removeKey(QStringLiteral("software\\ardenwyke")));
    EXPECT_FALSE(registry.keyExists(vellumine + QStringLiteral("\\Sub")));
    EXPECT_TRUE(registry.keyExists(QStringLiteral("Software")));
}

struct DamagedCase {
    const char *name;
    QByteArray bytes;
};

// Names the case in test output instead of its bytes.
void PrintTo(const DamagedCase &c, std::ostream *os)
{
    *os << c.name;
}

class DamagedRegistry : public testing::TestWithParam<DamagedCase>
{
};

TEST_P(DamagedRegistry, ReadsAsEmptyAndIsReplacedCleanly)
{
    const QString path =
        quirex::test::writeFile(QStringLiteral("reg/registry.ini"), GetParam().bytes);
    Registry registry(path);
    EXPECT_TRUE(registry.read().isEmpty());
    EXPECT_FALSE(registry.stringValue(vellumine, QStringLiteral("tmpIniPath")).size() > 0);
    ASSERT_TRUE(registry.setString(vellumine, QStringLiteral("tmpIniPath"), QStringLiteral("/y")));
    EXPECT_EQ(registry.stringValue(vellumine, QStringLiteral("tmpIniPath")), QStringLiteral("/y"));
    EXPECT_TRUE(QByteArray(contents(path)).startsWith("QuirexRegistry 1\n"));
    if (!GetParam().bytes.trimmed().isEmpty()) {
        EXPECT_EQ(contents(path + QStringLiteral(".corrupt")), GetParam().bytes);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DamagedRegistry,
    testing::Values(DamagedCase{"Empty", QByteArray()},
                    DamagedCase{"Torn", QByteArray("QuirexRegistry 1\n[Software\\Ardenwyke\\Vel")},
                    DamagedCase{"Garbage", QByteArray("\x7f"
                                                      "ELF\x02\x01\x01\x00",
                                                      8)}),
    [](const testing::TestParamInfo<DamagedCase> &info) { return std::string(info.param.name); });

TEST(Registry, ADamagedFileKeepsEveryGoodLineThroughAWrite)
{
    const QByteArray damaged = "QuirexRegistry 1\n"
                               "[Software\\Classes\\first.One\\CLSID]\n"
                               "@=\"{1}\"\n"
                               "junk line\n"
                               "[Software\\Classes\\second.Two\\CLSID]\n"
                               "@=\"caf\xe9\"\n" // one Latin-1 byte
                               "\"Other\"=dword:0000002a\n"
                               "[Software\\Classes\\third.Three\\CLSID]\n"
                               "@=\"{3}\"\n";
    const QString path = quirex::test::writeFile(QStringLiteral("reg/registry.ini"), damaged);
    QStringList reports;
    Registry::setDamageReporter([&](const QString &file, const QVector<int> &lines) {
        QStringList numbers;
        for (const int line : lines)
            numbers.append(QString::number(line));
        reports.append(file + QLatin1Char(':') + numbers.join(QLatin1Char(',')));
    });
    Registry registry(path);
    const QString first = QStringLiteral("Software\\Classes\\first.One\\CLSID");
    const QString second = QStringLiteral("Software\\Classes\\second.Two\\CLSID");
    const QString third = QStringLiteral("Software\\Classes\\third.Three\\CLSID");
    EXPECT_EQ(registry.stringValue(first, QString()), QStringLiteral("{1}"));
    EXPECT_EQ(registry.stringValue(third, QString()), QStringLiteral("{3}"));
    EXPECT_EQ(registry.value(second, QStringLiteral("Other"))->toInteger(), 42);
    EXPECT_FALSE(registry.value(second, QString()).has_value());
    // Named once, with the lines skipped, however often it is read.
    EXPECT_EQ(reports, QStringList{path + QStringLiteral(":4,6")});

    ASSERT_TRUE(registry.setString(vellumine, QStringLiteral("tmpIniPath"), QStringLiteral("/y")));
    Registry::setDamageReporter({});
    EXPECT_EQ(contents(path + QStringLiteral(".corrupt")), damaged);
    const auto strict = quirex::platform::RegistryData::parse(contents(path));
    ASSERT_TRUE(strict.has_value());
    EXPECT_EQ(strict->value(first, QString())->toString(), QStringLiteral("{1}"));
    EXPECT_EQ(strict->value(third, QString())->toString(), QStringLiteral("{3}"));
    EXPECT_EQ(strict->value(second, QStringLiteral("other"))->toInteger(), 42);
    EXPECT_EQ(strict->value(vellumine, QStringLiteral("tmpIniPath"))->toString(),
              QStringLiteral("/y"));
    EXPECT_EQ(reports.size(), 1);
}

TEST(Registry, AFailedWriteLeavesTheFileAsItWas)
{
    const QString folder = quirex::test::makeFolder(QStringLiteral("kept"));
    const QString path = folder + QStringLiteral("/registry.ini");
    Registry registry(path);
    ASSERT_TRUE(registry.setString(vellumine, QStringLiteral("a"), QStringLiteral("1")));
    const QByteArray before = contents(path);
    EXPECT_FALSE(registry.edit([](quirex::platform::RegistryData &) { return false; }));
    EXPECT_FALSE(
        registry.setString(QStringLiteral("\\"), QStringLiteral("a"), QStringLiteral("2")));
    EXPECT_EQ(contents(path), before);
}

TEST(Registry, ConcurrentWritersLoseNoValue)
{
    Registry registry;
    constexpr int writers = 4;
    constexpr int valuesEach = 25;
    std::vector<std::thread> threads;
    for (int w = 0; w < writers; ++w) {
        threads.emplace_back([w] {
            Registry own; // its own lock file descriptor, as another process would have
            for (int i = 0; i < valuesEach; ++i)
                own.setInteger(QStringLiteral("Software\\Test\\W%1").arg(w),
                               QStringLiteral("v%1").arg(i), i);
        });
    }
    for (std::thread &thread : threads)
        thread.join();
    const auto data = registry.read();
    for (int w = 0; w < writers; ++w)
        EXPECT_EQ(data.valueNames(QStringLiteral("Software\\Test\\W%1").arg(w)).size(), valuesEach);
}

TEST(Registry, AFileItCannotReadIsNeverReplaced)
{
    // A folder stands in for a file that exists but cannot be read.
    const QString path = quirex::test::makeFolder(QStringLiteral("unreadable/registry.ini"));
    quirex::test::writeFile(QStringLiteral("unreadable/registry.ini/keep"), "x");
    Registry registry(path);
    EXPECT_TRUE(registry.read().isEmpty());
    EXPECT_FALSE(registry.setString(vellumine, QStringLiteral("a"), QStringLiteral("1")));
    EXPECT_TRUE(QFileInfo(path + QStringLiteral("/keep")).exists());
}
