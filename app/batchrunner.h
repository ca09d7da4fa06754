#pragma once

#include <QString>
#include <QVector>

#include <functional>

namespace quirex::app
{

class CConverter;

// One finished input of a batch run, for progress lines and summaries.
struct BatchStep {
    int number = 0; // 1-based
    int count = 0;
    QString input;
    QString output;
    int result = 0;
    int pages = 0; // pages this input added to its PDF
    double seconds = 0;
    QString reason; // why it failed (the converter's failureReason()); empty on success
};
using BatchObserver = std::function<void(const BatchStep &)>;

// One input of a run and the completed path of its PDF (empty when the
// output path climbs above "/", which fails that input with -30).
struct BatchJob {
    QString input;
    QString output;
};

// Carries out the conversions of a run for the batch modes, the single-file
// mode, the URL mode and the window, with the converter's switches and
// settings as they are set when called (all-to-one, messages, progress, the
// video step's file name, ...). The checks that refuse a run before it
// starts stay with the callers.
class BatchRunner
{
public:
    virtual ~BatchRunner() = default;

    // Converts jobs[i] for every i, reporting each to `observer` in list
    // order, and returns the result of the first failure in list order, or
    // 0, with the converter's failureReason() saying why. Inputs after the
    // first failure are not tried, or abandoned when already under way,
    // leaving their outputs as they were; a runner that goes on past
    // failures still returns the first one. Cancelled (1) when the progress
    // window's Cancel or a signal ended the run.
    virtual int convertJobs(CConverter &converter, const QVector<BatchJob> &jobs,
                            const BatchObserver &observer) = 0;

    // Converts the document at `url` into the PDF `output`, as
    // CConverter::ConvertURL does.
    virtual int convertUrl(CConverter &converter, const QString &url, const QString &output) = 0;
};

// The runner the batch and URL modes use; null (the default) converts in
// this process, one input after the other. Not owned.
void setBatchRunner(BatchRunner *runner);
BatchRunner *batchRunner();

} // namespace quirex::app
