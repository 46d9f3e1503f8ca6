#include "WorkingCopy.h"

#include "app/MessageBox.h"

std::optional<RecordValues> ReadWorkingCopy()
{
    const ReadResult record = ReadCounterRecord(WorkingCopyName);
    if (record.status == ReadResult::CannotOpen) {
        ShowMessage(QStringLiteral("Please open file first"), MistakeCaption);
        return std::nullopt;
    }
    if (record.status == ReadResult::Malformed) {
        ShowMessage(record.message, MistakeCaption);
        return std::nullopt;
    }
    return record.values;
}
