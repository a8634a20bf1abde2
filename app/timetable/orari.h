#pragma once

#include "app/archives/detailform.h"
#include "app/archives/listform.h"

#include <QTime>
#include <functional>

// Times of the timetable are texts of five characters: two digits of hours, a point, two
// digits of minutes ("09.30").
QString testoOra(const QTime& time);
// The end of a new slot: the same minutes one hour later; from 23.xx it wraps to 00.xx, a
// time the slot's own check accepts.
QString oraFine(const QTime& start);
// Hours 00-23, a point, minutes 00-59.
bool oraValida(const QString& text);

// The list of the timetable's slots: six filter boxes (the instructor by surname) and new
// slots that start now and end an hour later.
class OrariPanel : public ListPanel {
    Q_OBJECT
public:
    OrariPanel(Tform_DB& dm, ListDescriptor descriptor);

    // What "Aggiungi" takes as the time now.
    std::function<QTime()> orologio = [] { return QTime::currentTime(); };

protected:
    void valoriPredefiniti() override;
};

// The course timetable (shared query Table2): opened from the main window, and as a
// chooser by the client record.
class TfrmOrari : public ArchiveListForm {
    Q_OBJECT
public:
    explicit TfrmOrari(Tform_DB& dm, QWidget* parent = nullptr);
    OrariPanel* orari() const { return static_cast<OrariPanel*>(panel()); }
};

// One slot: speciality and day are required, and both times must be hh.mm.
class TfrmOrariDett : public ArchiveDetailForm {
    Q_OBJECT
public:
    explicit TfrmOrariDett(Tform_DB& dm, QWidget* parent = nullptr);

    bool controlla(bool segnaErrore) override;
};
