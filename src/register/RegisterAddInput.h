#pragma once

#include "RegisterTypes.h"

#include <QFile>

#include <memory>
#include <vector>

// A file given to `register add`, open, with the date it was taken.
struct AddInput
{
    QString name;
    QDate taken;
    std::unique_ptr<QFile> file;
};

// Every file opened and dated, in date order, so that the new read-outs are written in the
// order taken. CannotOpen names the file; Invalid when there is none.
Result OpenAddInputs(const std::vector<AddFile> &files, std::vector<AddInput> &inputs);
