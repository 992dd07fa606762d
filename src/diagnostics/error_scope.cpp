#include "diagnostics/error_scope.h"

#include "diagnostics/error_report.h"

void diagnostics::ErrorScope::Handle(const platform::Failure& failure)
{
    if (form_ == Silenced)
        return;
    int answer = ErrorSub(
        failure.number, failure.source, failure.description, procedureName_, form_ == Fatal);
    if (answer == kEndProgram)
        EndProgram();
}
