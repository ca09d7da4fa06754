// Converts one document in a process of its own, for the tests of documents that may end the
// process: convertprobe PAGE OUTPUT PAGE_TIMEOUT_SECONDS. Exits 0 when OUTPUT was written, 3
// when the conversion failed (LastFailure on stderr), or whatever ended the process.
#include "quirex.h"

#include <QApplication>
#include <QFile>
#include <QVariant>

#include <cstdio>

int main(int argc, char **argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: convertprobe PAGE OUTPUT PAGE_TIMEOUT_SECONDS\n");
        return 2;
    }
    QApplication application(argc, argv);
    const QString output = QString::fromLocal8Bit(argv[2]);
    QUIREX engine;
    engine.setProperty("PageTimeout", QString::fromLocal8Bit(argv[3]).toInt());
    engine.setProperty("OutputFileName", output);
    engine.BeginDoc();
    engine.LoadHTMLFile(QString::fromLocal8Bit(argv[1]));
    engine.ConvertAll();
    engine.EndDoc();
    if (QFile::exists(output))
        return 0;
    std::fprintf(stderr, "%s\n", qPrintable(engine.LastFailure()));
    return 3;
}
