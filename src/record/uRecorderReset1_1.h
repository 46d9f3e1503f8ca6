#pragma once

#include "app/FormBase.h"

#include <QMap>
#include <QString>

class QPushButton;

// The serial devices that stand for the port names "COM1" and "COM2".
using PortDevices = QMap<QString, QString>;
PortDevices DefaultPortDevices();

class TForm5 : public TFormBase
{
    Q_OBJECT
public:
    explicit TForm5(const PortDevices &ports = DefaultPortDevices(), QWidget *parent = nullptr);

    QPushButton *Button1;

public slots:
    void CloseClick();
};

extern TForm5 *Form5;
