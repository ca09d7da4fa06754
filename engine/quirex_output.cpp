// The output document of the engine object: printer set-up, the temporary
// file painting goes to, and putting the finished file in place.
#include "quirex.h"
#include "quirex_p.h"

#include "atomicfile.h"
#include "enginetrace.h"
#include "postscriptconverter.h"

#include <QPrinter>

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

QString QUIREX::LastFailure()
{
    return d->m_lastFailure;
}

bool QUIREXPrivate::createTemporaryOutput()
{
    discardTemporaryOutput();
    output.m_outputFailure.clear();
    // An empty name would send the document to a system printer: write
    // nothing instead.
    if (output.m_finalOutput.isEmpty()) {
        output.m_outputFailure = QStringLiteral("no output file name");
        return false;
    }
    // The finished file gets the permissions a plain open() would give a
    // new one, or those of the file it replaces.
    output.m_outputFile = std::make_unique<quirex::platform::AtomicFile>(output.m_finalOutput);
    if (!output.m_outputFile->open()) {
        reportOutputFailure(output.m_outputFile->errorString());
        output.m_outputFile.reset();
        return false;
    }
    output.m_temporaryOutput = output.m_outputFile->temporaryPath();
    return true;
}

void QUIREXPrivate::reportOutputFailure(const QString &reason)
{
    output.m_outputFailure = reason;
    const QString line = QStringLiteral("output failed: ") + reason;
    m_writeLog(line);
    QUIREX_TRACE() << line;
}

void QUIREXPrivate::discardTemporaryOutput()
{
    // The target stays as it was.
    output.m_outputFile.reset();
    output.m_temporaryOutput.clear();
}

void QUIREXPrivate::finishOutput()
{
    if (!output.m_outputFile) {
        m_lastFailure =
            output.m_outputFailure.isEmpty()
                ? QStringLiteral("no document was begun for %1").arg(output.m_finalOutput)
                : output.m_outputFailure;
        return;
    }
    if (output.m_printingPostScript) {
        // The PDF painted is turned into PostScript at the target; the
        // target is left as it was on failure.
        quirex::engine::PostScriptConverter converter;
        if (!converter.convert(output.m_temporaryOutput, output.m_finalOutput))
            reportOutputFailure(QStringLiteral("no PostScript written to %1: %2")
                                    .arg(output.m_finalOutput, converter.errorString()));
    } else if (!output.m_outputFile->commit()) {
        reportOutputFailure(output.m_outputFile->errorString());
    }
    m_lastFailure = output.m_outputFailure;
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
