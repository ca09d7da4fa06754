// The output document of the engine object: printer set-up, the temporary
// file painting goes to, and putting the finished file in place.
#include "quirex.h"
#include "quirex_p.h"

#include "enginetrace.h"
#include "outputfile.h"
#include "postscriptconverter.h"

#include <QPrinter>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace
{

const QString kCreator = QStringLiteral("Quirex Engine " QUIREX_ENGINE_VERSION);

} // namespace

void QUIREXPrivate::m_SetUpPrinter()
{
    // Resolution is the one property that reaches the printer only here.
    geometry.applyRequestedResolution();
    QPrinter *printer = output.m_printer.get();
    if (output.m_grayScaleMode)
        printer->setColorMode(QPrinter::GrayScale);
    output.m_finalOutput = output.m_outputFileName;
    output.m_printingPostScript =
        quirex::engine::writesPostScript(output.m_outputFileName, output.m_postScriptFormat);
    printer->setCreator(kCreator);
    printer->setDocName(output.m_documentTitle);
    applyGeometryToPrinter();
}

void QUIREX::BeginDoc()
{
    d->readUntrustedMode();
    if (d->output.m_painter.isActive())
        EndDoc();
    d->m_SetUpPrinter();
    // Every document starts with its first page, also the second document
    // of an object: the first page output restarts it with the final paper.
    d->output.m_firstPage = true;
    if (!d->createTemporaryOutput())
        return;
    if (!d->beginPainting()) {
        d->reportOutputFailure(
            QStringLiteral("cannot start writing %1").arg(d->output.m_finalOutput));
        d->discardTemporaryOutput();
        return;
    }
    d->m_FillPageBackground(d->output.m_pageBackgroundColor);
}

void QUIREX::EndDoc()
{
    if (d->output.m_painter.isActive())
        d->endPainting();
    d->addNavigationToOutput();
    d->finishOutput();
}

bool QUIREXPrivate::createTemporaryOutput()
{
    discardTemporaryOutput();
    // An empty name would send the document to a system printer: write
    // nothing instead.
    if (output.m_finalOutput.isEmpty())
        return false;
    // Created as a plain open() would create the output, so the finished
    // file gets the permissions the umask allows.
    output.m_temporaryOutput =
        quirex::engine::createFileBeside(output.m_finalOutput, QStringLiteral(".part"));
    if (output.m_temporaryOutput.isEmpty()) {
        reportOutputFailure(
            QStringLiteral("cannot create a file beside %1: %2")
                .arg(output.m_finalOutput, QString::fromLocal8Bit(std::strerror(errno))));
        return false;
    }
    return true;
}

void QUIREXPrivate::reportOutputFailure(const QString &reason)
{
    const QString line = QStringLiteral("output failed: ") + reason;
    m_writeLog(line);
    QUIREX_TRACE() << line;
}

void QUIREXPrivate::discardTemporaryOutput()
{
    if (!output.m_temporaryOutput.isEmpty())
        QFile::remove(output.m_temporaryOutput);
    output.m_temporaryOutput.clear();
}

void QUIREXPrivate::finishOutput()
{
    const QString &temporary = output.m_temporaryOutput;
    const QString &target = output.m_finalOutput;
    if (temporary.isEmpty())
        return;
    if (output.m_printingPostScript) {
        // On failure the target is left as it was (absent, or the previous
        // file), which is what callers that check the output see.
        quirex::engine::PostScriptConverter converter;
        if (!converter.convert(temporary, target))
            reportOutputFailure(QStringLiteral("no PostScript written to %1: %2")
                                    .arg(target, converter.errorString()));
    } else {
        // A file replaced keeps its permissions; rename() replaces it in one
        // step, so the target is never missing or half written.
        quirex::engine::keepPermissionsOf(target, temporary);
        if (std::rename(QFile::encodeName(temporary).constData(),
                        QFile::encodeName(target).constData()) == 0)
            output.m_temporaryOutput.clear();
        else
            reportOutputFailure(QStringLiteral("cannot put %1 in place: %2")
                                    .arg(target, QString::fromLocal8Bit(std::strerror(errno))));
    }
    discardTemporaryOutput();
}

bool QUIREXPrivate::beginPainting()
{
    if (output.m_temporaryOutput.isEmpty())
        return false;
    output.m_printer->setOutputFormat(QPrinter::PdfFormat);
    output.m_printer->setOutputFileName(output.m_temporaryOutput);
    applyGeometryToPrinter();
    if (!output.m_painter.begin(output.m_printer.get()))
        return false;
    // A new file: whatever was printed before is gone.
    output.m_outputPage = 0;
    links.m_navigation.forgetPages();
    output.m_painter.setPen(drawing.m_pen);
    resetPainterTransform();
    return true;
}

void QUIREXPrivate::endPainting()
{
    output.m_painter.end();
    // Paper, orientation and margins changed while painting reach the
    // printer now, for the next document or the first-page restart.
    applyGeometryToPrinter();
}

void QUIREXPrivate::resetPainterTransform()
{
    // The painter's origin is the top-left corner of the printable area.
    output.m_painter.resetTransform();
    output.m_painter.translate(geometry.margins().left(), geometry.margins().top());
}
