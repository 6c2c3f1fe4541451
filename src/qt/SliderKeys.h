// The keys of scroll bar and trackbar controls, as Windows maps them to slider actions.
#pragma once
#include <QAbstractSlider>
#include <QKeyEvent>

// Arrows step a line (Left and Up toward the minimum), Page Up/Down a page, Home and End go to
// the ends; with Ctrl or Alt, or any other key, no action.
QAbstractSlider::SliderAction SliderActionForKey(const QKeyEvent& event);

// Runs the slider action of a pressed key and accepts the key; ignores a key without one, so
// it reaches the dialog (Escape, Enter, Tab).
void TriggerKeyAction(QAbstractSlider& slider, QKeyEvent& event);
