#include "app/payments/install.h"

#include "app/archives/install.h"
#include "app/payments/pagamenti.h"
#include "app/payments/sceltaanno.h"
#include "app/shell/form1.h"
#include "app/shell/form_db.h"

#include <QLineEdit>

Pagamenti& pagamenti() {
    static Pagamenti instances;
    return instances;
}

Pagamenti creaPagamenti(Tform_DB& dm, Archivi& a, QWidget* parent) {
    Pagamenti p;
    p.frmPagamenti = new TfrmPagamenti(dm, parent);
    p.frmPagamentiDettaglio = new TfrmPagamentiDettaglio(dm, a, parent);
    p.frmSceltaAnno = new TfrmSceltaAnno(dm, parent);
    p.frmPagamenti->setDetail(p.frmPagamentiDettaglio);
    pagamenti() = p;
    return p;
}

void installPayments(TForm1& form1, Tform_DB& dm) {
    const Pagamenti p = creaPagamenti(dm, archivi(), &form1);
    QPointer<TfrmPagamenti> registro = p.frmPagamenti;
    form1.wire(QStringLiteral("btnAttivitaPagamenti"), [registro] {
        if (registro) registro->apri();
    });
    QPointer<TfrmSceltaAnno> anno = p.frmSceltaAnno;
    form1.impostaAnno = [anno](int year) {
        if (anno) anno->txtAnno->setText(QString::number(year));
    };
}
