// A small list-and-detail form built from the toolkit, as the windows are: a grid with the
// client colours, bound edits, a look-up, a check box, a date mask, a picture, the form
// conventions and the layout menu. It checks what is painted; with VASTREL_DEMO_PNG set it
// also saves the picture there (to look at it).

#include "common/controls/dbedits.h"
#include "common/controls/dbgrid.h"
#include "common/controls/formconventions.h"
#include "common/controls/gridlayout.h"
#include "controls_support.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <gtest/gtest.h>

using namespace controls_test;

namespace {

TEST(DemoForm, ClientListAndRecordPaintAsExpected) {
    testing_support::TempDatabase tdb;
    db::Connection& c = tdb.connection();
    c.execute("insert into GruppoSportivo (Descrizione) values ('Agonisti')");
    c.execute("insert into GruppoSportivo (Descrizione) values ('Amatori')");
    c.execute("insert into anagraficaclienti (Cognome, Nome, Tel, Citta, Sesso, Certificato_med, Scadenza_cert_medico, "
              "ScadenzaPagamento, DataScadenzaAbbonamento, E_mail, GruppoSportivo_ID) values "
              "('Rossi', 'Mario', '06 1234567', 'Roma', 'M', true, #12/31/2099#, #12/31/2099#, #12/31/2099#, 'mario@rossi.it', 1)");
    c.execute("insert into anagraficaclienti (Cognome, Nome, Tel, Citta, Sesso, Certificato_med, Scadenza_cert_medico, "
              "ScadenzaPagamento, DataScadenzaAbbonamento, GruppoSportivo_ID) values "
              "('Bianchi', 'Anna', '02 7654321', 'Milano', 'F', false, #12/31/2099#, #12/31/2099#, #12/31/2099#, 2)");
    c.execute("insert into anagraficaclienti (Cognome, Nome, Citta, Sesso, Certificato_med, Scadenza_cert_medico, "
              "ScadenzaPagamento, DataScadenzaAbbonamento) values "
              "('Verdi', 'Luca', 'Torino', 'M', true, #12/31/2099#, #1/1/2020#, #12/31/2099#)");
    c.execute("insert into anagraficaclienti (Cognome, Nome, Citta, Sesso, Certificato_med, Scadenza_cert_medico, "
              "ScadenzaPagamento, DataScadenzaAbbonamento, Annullato) values "
              "('Neri', 'Sara', 'Napoli', 'F', true, #12/31/2099#, #12/31/2099#, #1/1/2020#, true)");
    c.execute("insert into anagraficaclienti (Cognome, Nome, Citta, Sesso, Certificato_med, Scadenza_cert_medico, "
              "ScadenzaPagamento) values ('Gialli', 'Paolo', 'Bari', 'M', true, #12/31/2099#, #12/31/2099#)");
    auto clients = openDataset(c, "SELECT *, Cognome + '  ' + Nome as Nominativo FROM anagraficaclienti order by Cognome");
    auto groups = openDataset(c, "select * from GruppoSportivo order by Descrizione");
    auto griglie = openDataset(c, ui::SqlGriglie("DEMO"));

    QWidget form;
    form.setObjectName("frmClienti");
    form.setWindowTitle("Archivio clienti");
    form.resize(900, 560);
    auto* top = new QVBoxLayout(&form);
    auto* grid = new ui::DBGrid;
    grid->setObjectName("DBGrid1");
    grid->setDataset(clients.get());
    grid->setMultiSelect(true);
    grid->setColumns({{"Cognome", "Cognome", 110}, {"Nome", "Nome", 90}, {"Tel", "Telefono", 100},
                      {"ScadenzaPagamento", "Scad. Abbon.", 90}, {"DataScadenzaAbbonamento", "Scadenza Iscr.", 95},
                      {"Scadenza_cert_medico", "Scad. Cert. Med.", 105}, {"E_mail", "E-mail", 150}});
    // The client list's row colours.
    const QDate today = QDate::currentDate();
    auto before = [&](int row, const char* f) {
        const QVariant v = clients->valueAt(row, clients->fieldIndex(f));
        return !v.isValid() || v.isNull() || v.toDateTime().date() < today;
    };
    grid->setCellStyler([&](ui::CellStyle& cell) {
        cell.background = Qt::white;
        if (clients->valueAt(cell.row, clients->fieldIndex("Annullato")).toBool()) {
            cell.background = Qt::gray;
        } else {
            if (!clients->valueAt(cell.row, clients->fieldIndex("Certificato_med")).toBool() ||
                before(cell.row, "Scadenza_cert_medico"))
                cell.background = QColor(0, 255, 255);
            if (before(cell.row, "ScadenzaPagamento")) cell.background = QColor(255, 0, 255);
            if (before(cell.row, "DataScadenzaAbbonamento")) cell.background = Qt::red;
        }
        cell.foreground = Qt::black;
    });
    ui::CaricaGriglia("frmClienti_Griglia", *grid, *griglie, false, "DEMO");
    ui::attachLayoutMenu(*grid, "frmClienti_Griglia", *griglie, "DEMO");
    top->addWidget(grid, 1);

    auto* box = new QGroupBox("Cliente");
    auto* row = new QHBoxLayout(box);
    auto* fields = new QFormLayout;
    row->addLayout(fields, 1);
    auto* cognome = new ui::DBEdit(clients.get(), "Cognome");
    cognome->setObjectName("DBEdit1");
    fields->addRow("cognome", cognome);
    auto* nome = new ui::DBEdit(clients.get(), "Nome");
    nome->setObjectName("DBEdit20");
    fields->addRow("nome", nome);
    auto* sesso = new ui::DBComboBox(clients.get(), "Sesso", {"M", "F"});
    sesso->setObjectName("DBComboBox1");
    fields->addRow("sesso", sesso);
    auto* gruppo = new ui::DBLookupComboBox;
    gruppo->setObjectName("DBLookupComboBox7");
    gruppo->setDataset(clients.get());
    gruppo->setDataField("GruppoSportivo_ID");
    gruppo->setListSource(groups.get(), "ID", "Descrizione");
    fields->addRow("Gruppo Sportivo", gruppo);
    auto* scadenza = new ui::DateMaskEdit(clients.get(), "DataScadenzaAbbonamento");
    scadenza->setObjectName("DBEdit24");
    fields->addRow("Scadenza Iscrizione", scadenza);
    auto* cert = new ui::DBCheckBox(clients.get(), "Certificato_med", "Ha presentato il certificato medico");
    cert->setObjectName("DBCheckBox2");
    fields->addRow("", cert);
    auto* importo = new QLineEdit;
    importo->setObjectName("Edit2");
    fields->addRow("Importo", importo);
    auto* foto = new ui::DBImage;
    foto->setObjectName("Image1");
    foto->setFixedSize(150, 150);
    QImage pic(120, 160, QImage::Format_RGB32);
    pic.fill(QColor(70, 110, 170));
    {
        QPainter p(&pic);
        p.setBrush(QColor(240, 200, 160));
        p.drawEllipse(30, 25, 60, 70);
        p.drawRect(20, 110, 80, 50);
    }
    foto->setPicture(pic, "PNG");
    row->addWidget(foto);
    top->addWidget(box);

    bool modified = false;
    auto* fc = ui::FormConventions::install(&form);
    fc->setModifiedCallback([&](QWidget*) { modified = true; });
    ui::FormConventions::setAmount(importo);
    ASSERT_TRUE(showActive(&form));

    clients->setPosition(1); // Gialli
    grid->setRowSelected(3, true);
    nome->setFocus();
    settle();
    QTest::keyClick(nome, Qt::Key_Return);
    QTest::keyClick(sesso, Qt::Key_Down);
    QTest::keyClick(gruppo, Qt::Key_Down);
    EXPECT_EQ(QApplication::focusWidget(), scadenza);
    EXPECT_FALSE(modified);
    settle();

    const QImage shot = form.grab().toImage();
    if (const QString png = qEnvironmentVariable("VASTREL_DEMO_PNG"); !png.isEmpty()) shot.save(png);

    // Row colours: Bianchi aqua (no certificate), Verdi fuchsia, Neri grey, Gialli red.
    auto cellColour = [&](int r) {
        const QRect rect = grid->visualRect(grid->model()->index(r, 2));
        const QPoint p = grid->viewport()->mapTo(&form, QPoint(rect.right() - 4, rect.bottom() - 2));
        return shot.pixelColor(p);
    };
    EXPECT_EQ(cellColour(0), QColor(0, 255, 255));  // Bianchi
    EXPECT_EQ(cellColour(2), QColor(Qt::gray));      // Neri (annullato)
    EXPECT_EQ(cellColour(4), QColor(255, 0, 255));   // Verdi
    EXPECT_EQ(grid->cellStyle(1, 0).background, QColor(Qt::red)); // Gialli, current
    EXPECT_EQ(grid->cellStyle(3, 0).background, QColor(Qt::white)); // Rossi
    EXPECT_EQ(gruppo->currentText(), "");
    clients->setPosition(3);
    EXPECT_EQ(gruppo->currentText(), "Agonisti");
    EXPECT_EQ(cognome->text(), "Rossi");
    EXPECT_EQ(scadenza->text(), "31/12/2099");
    EXPECT_EQ(scadenza->palette().color(QPalette::Base), QColor(0, 255, 255));
}

} // namespace
