#pragma once

class QWidget;

// Gives `control` the focus every time `window` opens, so that Enter presses it even when the
// window was last closed with the focus elsewhere (for instance on a memo, by its close box).
void FocusOnOpening(QWidget *window, QWidget *control);
