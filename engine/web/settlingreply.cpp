#include "settlingreply.h"

namespace quirex::engine
{

void SettlingReply::emitFailure(NetworkError code)
{
    emit errorOccurred(code);
    QT_WARNING_PUSH
    QT_WARNING_DISABLE_DEPRECATED
    emit error(code);
    QT_WARNING_POP
}

void SettlingReply::cancel()
{
    if (isFinished())
        return;
    setError(OperationCanceledError, QStringLiteral("Cancelled"));
    setFinished(true);
    emitFailure(OperationCanceledError);
    emit finished();
}

} // namespace quirex::engine
