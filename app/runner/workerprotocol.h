#pragma once

#include "conversionsettings.h"
#include "messagereport.h"

#include <QByteArray>
#include <QString>
#include <QVector>

namespace quirex::app
{

// The messages between quirexdesk and its worker processes: one JSON object
// per line on the worker's standard input (requests) and standard output
// (replies). The worker answers each request with one reply, in order.

// One conversion for the worker's converter, with the switches it sets first.
struct WorkerRequest {
    enum class Kind { File, Url };
    Kind kind = Kind::File;
    QString input;  // the input path, or the URL
    QString output; // the path the converter writes (a staging name beside the target, or it)
    QString target; // the PDF's final path, for the check that it is not the input
    ConversionSettings settings;
    QString headerText;
    QString footerText;
    QString tempFileName;
    QString outputExtension = QStringLiteral("pdf");
    bool swapExtension = false;
    bool allToOne = false;
    bool firstFile = false;
    bool lastFile = false;
    bool messages = false; // the converter's error boxes, sent back as messages
};

// A box the worker's converter showed, to be shown again by the program.
struct WorkerMessage {
    QString text;
    QString title;
    MessageIcon icon = MessageIcon::Error;
    MessageButtons buttons = MessageButtons::Ok;
};

// What one conversion gave.
struct WorkerReply {
    int result = 0;
    QString reason;
    int pages = 0; // pages this input added to its PDF
    QVector<WorkerMessage> messages;
};

// One line (ending in "\n") holding the message.
QByteArray encodeRequest(const WorkerRequest &request);
QByteArray encodeReply(const WorkerReply &reply);

// The message of one line (with or without its line feed). False, and the
// message left as it was, when the line is not a JSON object of that kind.
// Missing fields keep their defaults.
bool decodeRequest(const QByteArray &line, WorkerRequest *request);
bool decodeReply(const QByteArray &line, WorkerReply *reply);

} // namespace quirex::app
