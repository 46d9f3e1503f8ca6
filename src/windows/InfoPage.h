#pragma once

#include "FormBase.h"

// One of the six read-only information pages: a caption, a fixed size, a "&Close" button and
// a picture, a memo or both. What each page holds is a table in the source, not a class.
class InfoPage : public FormBase
{
    Q_OBJECT
public:
    // The five pages of the technical information, then the contact page.
    enum Page { Application, GeneralView, Dimension, SignalClassification, TechnicalData, Contact };
    Q_ENUM(Page)

    explicit InfoPage(Page page, QWidget *parent = nullptr);

private:
    void closeWindow();
};
