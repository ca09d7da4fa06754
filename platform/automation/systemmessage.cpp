#include "systemmessage.h"

namespace quirex::automation
{

namespace
{

struct Message {
    HRESULT code;
    const char *text;
};

// English system texts as Windows reports them for these codes.
const Message messages[] = {
    {S_OK, "The operation completed successfully."},
    {S_FALSE, "Incorrect function."},
    {E_UNEXPECTED, "Catastrophic failure"},
    {E_NOTIMPL, "Not implemented"},
    {E_NOINTERFACE, "No such interface supported"},
    {E_POINTER, "Invalid pointer"},
    {E_ABORT, "Operation aborted"},
    {E_FAIL, "Unspecified error"},
    {HRESULT_FILE_NOT_FOUND, "The system cannot find the file specified."},
    {HRESULT_PATH_NOT_FOUND, "The system cannot find the path specified."},
    {E_ACCESSDENIED, "Access is denied."},
    {E_HANDLE, "The handle is invalid."},
    {E_OUTOFMEMORY, "Not enough memory resources are available to complete this operation."},
    {HRESULT_WRITE_FAULT, "The system cannot write to the specified device."},
    {E_INVALIDARG, "The parameter is incorrect."},
    {RPC_E_DISCONNECTED, "The object invoked has disconnected from its clients."},
    {RPC_E_WRONG_THREAD,
     "The application called an interface that was marshalled for a different thread."},
    {DISP_E_UNKNOWNINTERFACE, "Unknown interface."},
    {DISP_E_MEMBERNOTFOUND, "Member not found."},
    {DISP_E_PARAMNOTFOUND, "Parameter not found."},
    {DISP_E_TYPEMISMATCH, "Type mismatch."},
    {DISP_E_UNKNOWNNAME, "Unknown name."},
    {DISP_E_NONAMEDARGS, "No named arguments."},
    {DISP_E_BADVARTYPE, "Bad variable type."},
    {DISP_E_EXCEPTION, "Exception occurred."},
    {DISP_E_OVERFLOW, "Out of present range."},
    {DISP_E_BADINDEX, "Invalid index."},
    {DISP_E_BADPARAMCOUNT, "Invalid number of parameters."},
    {DISP_E_PARAMNOTOPTIONAL, "Parameter not optional."},
    {DISP_E_BADCALLEE, "Invalid callee."},
    {CLASS_E_NOAGGREGATION, "Class does not support aggregation (or class object is remote)"},
    {CLASS_E_CLASSNOTAVAILABLE, "ClassFactory cannot supply requested class"},
    {REGDB_E_READREGDB, "Could not read key from registry"},
    {REGDB_E_WRITEREGDB, "Could not write key to registry"},
    {REGDB_E_CLASSNOTREG, "Class not registered"},
    // SELFREG_E_TYPELIB and SELFREG_E_CLASS have no system text on Windows either.
    {CO_E_NOTINITIALIZED, "CoInitialize has not been called."},
    {CO_E_CLASSSTRING, "Invalid class string"},
    {CO_E_DLLNOTFOUND, "DLL for class not found"},
    {CO_E_ERRORINDLL, "Error in the DLL"},
};

} // namespace

QString systemMessageText(HRESULT code)
{
    for (const Message &message : messages) {
        if (message.code == code)
            return QString::fromLatin1(message.text);
    }
    return QString();
}

QString hresultHex(HRESULT code)
{
    return QLatin1String("0x") +
           QString::number(quint32(code), 16).rightJustified(8, QLatin1Char('0')).toUpper();
}

} // namespace quirex::automation
