#pragma once

#include "RegularFile.h"

#include <QString>

// The data file of the data copy: created or emptied by FileOpen and held, locked against other
// writers, until a DataCopy gives it its content. The content is written to a new file beside
// it that is then renamed into its place, so that whatever ends the program meanwhile, the data
// file is either as FileOpen left it or complete.
class DataFile
{
public:
    bool isOpen() const { return m_file.isOpen(); }
    QString fileName() const { return m_name; }

    // Creates the file, or empties an existing one once it is locked. An empty string on
    // success; otherwise why the file cannot be had, and it is left as it was. Either working
    // file, under any name, is refused.
    QString open(const QString &name);
    void close();

    // An empty string while the name still refers to the file FileOpen created; otherwise what
    // became of it.
    QString whatBecameOfIt() const;

    // Makes the data file a copy of `source`, which must hold at least `minimumSize` bytes when
    // opened; what it gains after that is not copied. On failure the data file stays as it was,
    // held for another try. The file that takes the name is held and locked in its turn.
    Result copyFrom(const QString &source, qint64 minimumSize, const CopyProgress &progress);

private:
    QString m_name;
    RegularFile m_file;
};
