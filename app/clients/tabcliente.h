#pragma once

#include "app/archives/listform.h"

#include <QLabel>
#include <functional>

namespace db {
class Connection;
}

// What tells one list of the client record's tabs from another.
struct TabDescriptor {
    ListDescriptor lista;                 // query, grid, tools, controls under the grid
    ArchiveListForm* registro = nullptr;  // the register "Aggiungi" picks from
    // The values of a new row from the row picked (the client's key is already set).
    std::function<void(db::Dataset& row, const Scelta& scelta)> riempi;
    QString stampa;                       // the print tool's name
    int report = 0;                       // and the report it prints
};

// A list of the current client's own rows on a tab of the client record: "Aggiungi" picks a
// row of a register (given back as it was) and adds it for the client with its defaults,
// "Salva" posts the current row, "Elimina" deletes it without asking, the print tool hands
// the client's report to the viewer.
class TabCliente : public ListPanel {
    Q_OBJECT
public:
    TabCliente(Tform_DB& dm, TabDescriptor descriptor, QWidget* parent);

    // Run after a row was added or saved (the diet's total).
    std::function<void()> dopoModifica;

protected:
    void inserisci() override;
    void salva() override;
    void elimina() override;

private:
    TabDescriptor m_tab;
};

// The client record's lists, one per tab, made on the tab's page.
TabCliente* tabEsercizi(Tform_DB& dm, ArchiveListForm* esercizi, QWidget* page);
TabCliente* tabDieta(Tform_DB& dm, ArchiveListForm* alimenti, QWidget* page);
TabCliente* tabPatologie(Tform_DB& dm, ArchiveListForm* patologie, QWidget* page);
TabCliente* tabOrari(Tform_DB& dm, ArchiveListForm* orari, QWidget* page);

// The kilocalories of a client's diet: grams × KC / 100 of every food with its KC, rounded
// to cents half away from zero.
double totaleDieta(db::Connection& c, long long cliente);
// As the diet's label shows it: "Totale Kilo Calorie: 81,3".
QString testoTotaleDieta(double totale);
