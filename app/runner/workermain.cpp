#include "workermain.h"

#include "applog.h"
#include "converter.h"
#include "interruption.h"
#include "outputclash.h"
#include "registryreport.h"
#include "videoreplacement.h"
#include "workerprotocol.h"

#include <QFile>

#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>

namespace quirex::app
{

namespace
{

void prepare(CConverter &converter, const WorkerRequest &request)
{
    converter.setSettings(request.settings);
    converter.setHeaderText(request.headerText);
    converter.setFooterText(request.footerText);
    converter.setTempFileName(request.tempFileName);
    converter.setOutputExtension(request.outputExtension);
    converter.setSwapExtension(request.swapExtension);
    converter.setAllToOne(request.allToOne);
    converter.setFirstFile(request.firstFile);
    converter.setLastFile(request.lastFile);
    converter.setMessagesEnabled(request.messages);
    // The program opens a PDF once it is in place at its target.
    converter.setOpenAfter(false);
}

// The refusal the converter would give when the target, rather than the
// staging name it writes, is the input or the video step's copy of it.
bool targetIsInput(const WorkerRequest &request)
{
    if (request.target.isEmpty() || request.target == request.output)
        return false;
    return isSameFile(request.input, request.target) ||
           (!request.tempFileName.isEmpty() &&
            isSameFile(videoCopyPath(request.input, request.tempFileName), request.target));
}

WorkerReply convert(CConverter &converter, const WorkerRequest &request)
{
    WorkerReply reply;
    prepare(converter, request);
    const int before = converter.pageCounter();
    if (request.kind == WorkerRequest::Kind::Url) {
        reply.result = converter.ConvertURL(request.input, request.output);
    } else if (targetIsInput(request)) {
        reply.result = ConvertResult::OutputIsInput;
        converter.setFailureReason(
            QStringLiteral("the output %1 is the input %2").arg(request.target, request.input));
    } else {
        reply.result = converter.Convert(request.input, request.output);
    }
    reply.reason = converter.failureReason();
    if (reply.result == 0) {
        const bool newPdf = !request.allToOne || request.firstFile;
        reply.pages = converter.pageCounter() - (newPdf ? 1 : before);
    }
    return reply;
}

} // namespace

int runWorker()
{
    // A worker never outlives the program that feeds it.
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() == 1)
        return 1;

    setLogStartEnabled(false);
    reportRegistryDamage();
    QVector<WorkerMessage> shown;
    CConverter converter({}, [&](const QString &text, const QString &title, MessageIcon icon,
                                 MessageButtons buttons) {
        shown.append({text, title, icon, buttons});
        return buttons == MessageButtons::YesNo ? MessageAnswer::No : MessageAnswer::Ok;
    });
    QFile in;
    QFile out;
    if (!in.open(stdin, QIODevice::ReadOnly) || !out.open(stdout, QIODevice::WriteOnly))
        return 1;
    for (;;) {
        const QByteArray line = in.readLine();
        if (line.isEmpty())
            return 0;
        WorkerRequest request;
        WorkerReply reply;
        shown.clear();
        if (decodeRequest(line, &request)) {
            reply = convert(converter, request);
        } else {
            reply.result = ConvertResult::EngineFailed;
            reply.reason = QStringLiteral("the worker received a request it cannot read");
        }
        reply.messages = shown;
        out.write(encodeReply(reply));
        out.flush();
        // SIGTERM or SIGINT: the program is ending this worker.
        if (interruptionSignal() != 0)
            return 0;
    }
}

} // namespace quirex::app
