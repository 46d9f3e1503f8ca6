#include "WorkingCopy.h"

ReadResult ReadWorkingCopy()
{
    ReadResult record = ReadCounterRecord(WorkingCopyName);
    if (record.status == ReadResult::CannotOpen)
        record.message = QStringLiteral("Please open file first");
    return record;
}
