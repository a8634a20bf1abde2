#pragma once

#include <QImage>

class QWidget;

// One picture from a scanner or camera, for the "Acquisisci" buttons.
//
// The first call loads SANE (unloaded when the application ends). The first acquisition
// that finds more than one device asks which one to use, once per run (a small dialog shown
// through the dialog service); afterwards the device chosen then, or the only one, is used
// without asking. Each call opens the device, reads one image with the device's own
// settings (gray or colour, 1, 8 or 16 bits per sample, single or three-pass) and closes it;
// further pages of a feeder are discarded.
//
// Returns a null image when there is none: no SANE, no device, the choice cancelled, or
// any failure of the device. A missing device or a failed scan is said in a message box
// (a cancelled choice is not); callers ignore a null image.
QImage acquireImage(QWidget* parent);

// Unloads SANE and forgets the device choice, so that the next acquisition starts like the
// first of the run (new devices, a changed SANE configuration).
void resetAcquisition();
