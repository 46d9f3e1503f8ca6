#include "WorkingCopyReader.h"

#include "MessageBox.h"
#include "WorkingCopy.h"

std::optional<RecordValues> ReadWorkingCopyOrSayWhy()
{
    const ReadResult record = ReadWorkingCopy();
    if (!record.ok()) {
        ShowMessage(record.message(), MistakeCaption);
        return std::nullopt;
    }
    return record.values;
}
