#pragma once

#include "app/archives/detailform.h"
#include "app/archives/listform.h"

// The registers that are plain members of the list and detail families: each class only
// hands its descriptor to the family.

class TfrmAlimenti : public ArchiveListForm {
    Q_OBJECT
public:
    explicit TfrmAlimenti(Tform_DB& dm, QWidget* parent = nullptr);
};

class TfrmAlimentiDett : public ArchiveDetailForm {
    Q_OBJECT
public:
    explicit TfrmAlimentiDett(Tform_DB& dm, QWidget* parent = nullptr);
};

class TfrmEsercizi : public ArchiveListForm {
    Q_OBJECT
public:
    explicit TfrmEsercizi(Tform_DB& dm, QWidget* parent = nullptr);
};

class TfrmPatologie : public ArchiveListForm {
    Q_OBJECT
public:
    explicit TfrmPatologie(Tform_DB& dm, QWidget* parent = nullptr);
};

class TfrmPatologieDett : public ArchiveDetailForm {
    Q_OBJECT
public:
    explicit TfrmPatologieDett(Tform_DB& dm, QWidget* parent = nullptr);
};

class TfrmGruppiMuscolari : public ArchiveListForm {
    Q_OBJECT
public:
    explicit TfrmGruppiMuscolari(Tform_DB& dm, QWidget* parent = nullptr);
};

class TfrmGruppiMuscolariDett : public ArchiveDetailForm {
    Q_OBJECT
public:
    explicit TfrmGruppiMuscolariDett(Tform_DB& dm, QWidget* parent = nullptr);
};

class TfrmGrigliaGruppiSportivi : public ArchiveListForm {
    Q_OBJECT
public:
    explicit TfrmGrigliaGruppiSportivi(Tform_DB& dm, QWidget* parent = nullptr);
};

class TfrmGruppoSportivo : public ArchiveDetailForm {
    Q_OBJECT
public:
    explicit TfrmGruppoSportivo(Tform_DB& dm, QWidget* parent = nullptr);
};

class TfrmGrigliaStagioni : public ArchiveListForm {
    Q_OBJECT
public:
    explicit TfrmGrigliaStagioni(Tform_DB& dm, QWidget* parent = nullptr);
};

class TfrmStagione : public ArchiveDetailForm {
    Q_OBJECT
public:
    explicit TfrmStagione(Tform_DB& dm, QWidget* parent = nullptr);
};

class TfrmModPagam : public ArchiveListForm {
    Q_OBJECT
public:
    explicit TfrmModPagam(Tform_DB& dm, QWidget* parent = nullptr);
};

class TfrmModPagamDett : public ArchiveDetailForm {
    Q_OBJECT
public:
    explicit TfrmModPagamDett(Tform_DB& dm, QWidget* parent = nullptr);
};

// Subscription types: ScadenzaMesi is the number of months a subscription lasts
// (common/scadenze.h computes the expiry from it).
class TfrmGrigliaTipoAbbonamenti : public ArchiveListForm {
    Q_OBJECT
public:
    explicit TfrmGrigliaTipoAbbonamenti(Tform_DB& dm, QWidget* parent = nullptr);
};

class TfrmTipoPagamenti : public ArchiveDetailForm {
    Q_OBJECT
public:
    explicit TfrmTipoPagamenti(Tform_DB& dm, QWidget* parent = nullptr);
};

class TfrmGrigliaOperazionePagamenti : public ArchiveListForm {
    Q_OBJECT
public:
    explicit TfrmGrigliaOperazionePagamenti(Tform_DB& dm, QWidget* parent = nullptr);
};

class TfrmOperazionePagamenti : public ArchiveDetailForm {
    Q_OBJECT
public:
    explicit TfrmOperazionePagamenti(Tform_DB& dm, QWidget* parent = nullptr);
};
