#pragma once

#include <QProxyStyle>

// The application's style with the few standard icons the main window needs at once (the clear
// button of a field, the overflow buttons of the menu bar and tool bar) drawn as lines. Qt's own
// are bitmap files, and reading the first of them loads every image-format plugin, which costs
// the start-up more than the rest of the window; lines are also sharp at any scale.
class FleetStyle : public QProxyStyle
{
public:
    // Over the style of that key (a name QStyleFactory knows).
    explicit FleetStyle(const QString &baseKey);

    QIcon standardIcon(StandardPixmap icon, const QStyleOption *option = nullptr,
        const QWidget *widget = nullptr) const override;
};

// Puts FleetStyle over the style the platform or the user (-style) chose; before any window.
void UseFleetStyle();
