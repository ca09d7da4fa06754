#pragma once

#include "batchrunner.h"
#include "listshard.h"

#include <QString>

#include <functional>

namespace quirex::app
{

class CConverter;
class SettingsStore;

// Mode results besides the converter's (which are passed on unchanged).
namespace ModeResult
{
enum : int {
    WrongCommandLine = -1,
    FolderMissing = -2,       // the output folder does not exist (box 2028)
    ListLengthsDiffer = -3,   // input and output lists of different lengths
    InputListUnreadable = -4, // also: the mask matches nothing
    OutputListUnreadable = -5,
};
}

// Converts one input named on the command line or in a list file. A relative
// `output` means the current folder, as a relative input does (the converter
// alone would take the input's folder); one that climbs above "/" fails with
// the converter's OutputPathNotCorrect (-30) and converts nothing.
int convertCommandLineFile(CConverter &converter, const QString &input, const QString &output);

// Refuses a run, before anything is converted, in which an output would
// overwrite an input of the run (OutputIsInput) or two inputs would write the
// same output (SameOutput; not with all-to-one), with the converter's
// failureReason() naming both files; 0 otherwise. Inputs and outputs are
// completed as the batch modes complete them.
int checkRun(CConverter &converter, const QStringList &inputs,
             const std::function<QString(int)> &outputOf);

// The batch modes. Each switches the converter's messages off, refuses a run
// in which an output would be an input of the run (OutputIsInput, -31) or
// two inputs would write the same output (SameOutput, -32; not in the
// all-to-one mode) before converting anything, with the converter's
// failureReason() naming both files; then converts its inputs in order with
// Convert, marking the first and last of the run, and stops at the first
// failure, whose result it returns (inputs converted before keep their PDFs,
// the rest are not tried). The conversions go through batchRunner() when one
// is set (in worker processes), else through the converter in this process.
// `observer`, when set, hears of every input converted or failed. With
// `shard` only its share of the matches or list entries is converted
// (numbered and counted in the share for `observer`), the checks above still
// covering the whole run; an empty share converts nothing and returns 0. A
// relative output folder means the current folder, like a relative input; a
// missing one is reported with box 2028 through the converter's message
// function (CConverter::showMessage), which shows it although messages are
// off (on stderr without a display).

// Every file matching `mask` (filemask.h) into `folder`, or into the mask's
// own folder when `folder` is empty; names by outputPathInFolder with the
// converter's swap-extension flag and output extension. -4 when nothing
// matches, -2 when the folder does not exist.
int ConvertFileMask2Dir(CConverter &converter, const QString &mask, const QString &folder,
                        const BatchObserver &observer = {}, const ListShard &shard = {});

// Every file of the list file `list` (listfile.h; "-" reads standard input,
// as for the lists below) into `folder`. -4 when the list cannot be read, -2
// when the folder does not exist.
int ConvertFileList2Dir(CConverter &converter, const QString &list, const QString &folder,
                        const BatchObserver &observer = {}, const ListShard &shard = {});

// Input i of `list` into output i of `outputList`. -4 / -5 when a list
// cannot be read, -3 when their lengths differ.
int ConvertFileList2FileList(CConverter &converter, const QString &list, const QString &outputList,
                             const BatchObserver &observer = {}, const ListShard &shard = {});

// Every file of `list`, in order, into the one PDF `output` (all-to-one on).
// -4 when the list cannot be read.
int ConvertFileList2One(CConverter &converter, const QString &list, const QString &output,
                        const BatchObserver &observer = {}, const ListShard &shard = {});

// The URL mode: converts `url` into the first free "ConvertedDocument.pdf",
// "ConvertedDocument_1.pdf", ... in the folder of the "SaveFolder" setting
// (the Documents folder when it is not set or does not exist). Then box 136
// (failure) or 135 (success, asking whether to open the PDF; Yes opens it)
// appear through the converter's message function although messages are off;
// without a display they go to stderr and the answer is No. Returns the
// converter's result.
int ConvertUrlToDocument(CConverter &converter, const QString &url, const SettingsStore &store);

} // namespace quirex::app
