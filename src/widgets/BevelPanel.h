#pragma once

#include <QWidget>

// A panel drawn with a lowered outer and a raised inner bevel.
class BevelPanel : public QWidget
{
    Q_OBJECT
public:
    explicit BevelPanel(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};
