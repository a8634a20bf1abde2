#pragma once

#include "viewer/dati.h"
#include "viewer/frmfiltro.h"
#include "viewer/layout.h"
#include "viewer/modello.h"

#include <QDate>
#include <QList>
#include <QMainWindow>
#include <array>
#include <memory>
#include <optional>

class QComboBox;
class QLabel;
class QPrinter;
class QToolButton;

namespace db {
class Connection;
}

namespace stampa {

class AnteprimaReport;
class DocumentoStampa;

// The print job of this computer, as the main program wrote it into TempStampa.
struct Lavoro {
    bool esportazione = false;
    QString fileEsportazione;
    int tipoEsportazione = 3; // PDF
    bool presenzaTestata = false;
    QString nomeProgramma;
    QString nomeReport;
    bool filtro = false;
    bool setup = false;
    QString nomeReportLandscape;
    QString parametro;
    std::array<bool, 7> sottoreport{}; // QuerySottoreport N has a query
};

// An export format the preview offers (an active row of TipoEsportazioniCrystalReport).
struct FormatoAttivo {
    int numero = 0;
    QString estensione;
    QString descrizione;
};

// "Stampa": reads this computer's print job, lets the user filter the rows, renders the
// report and shows it (print, export, pages, zoom) or, for an export job, writes the file
// and ends.
class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    enum class Esito {
        Mostrato,  // the preview is open
        Esportato, // the file is written: the program ends
        Terminato, // nothing to do (no job, no percorso.txt, filter not confirmed)
        Errore,    // the error was shown: the program ends
    };

    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

    // The whole load: job, filter, report, printer, binding, then preview or export.
    Esito FormLoad();

    TfrmFiltro* frmFiltro;
    AnteprimaReport* CRViewer1;

    // What the load read and decided.
    const Lavoro& lavoro() const { return m_lavoro; }
    const Globali& globali() const { return m_globali; }
    const Layout& layout() const { return m_layout; }
    const std::vector<Legame>& legami() const { return m_legami; }
    const std::optional<QString>& parametroData() const { return m_parametroData; }
    const RecordSet* principale() const { return m_principale.get(); }
    const DocumentoStampa* documento() const { return m_documento.get(); }
    QPrinter* stampante() const { return m_stampante.get(); }
    bool inPrimoPiano() const { return m_inPrimoPiano; }
    const QList<FormatoAttivo>& formati() const { return m_formati; }

    // A filter clause given beforehand (" Where …", from the command line): used as the
    // filter window would, and the window is not shown.
    std::optional<QString> filtroDato;

    // The date printed in the page footer; today unless a test sets it.
    QDate oggi = QDate::currentDate();

public Q_SLOTS:
    void stampaClick();
    void esportaClick(int numero);
    void aggiornaPagina();

private:
    void costruisciBarra();
    Esito carica();
    bool leggiLavoro(db::Connection& c); // false: no job for this computer
    void scegliStampante(bool landscape);
    void lega();
    void pulisci();

    Globali m_globali;
    std::unique_ptr<db::Connection> m_connessione;
    Lavoro m_lavoro;
    Layout m_layout;
    std::unique_ptr<RecordSet> m_ditta;
    std::array<std::unique_ptr<RecordSet>, 7> m_sottoreport;
    std::unique_ptr<RecordSet> m_principale;
    std::vector<Legame> m_legami;
    std::optional<QString> m_parametroData;
    std::unique_ptr<DocumentoStampa> m_documento;
    std::unique_ptr<QPrinter> m_stampante;
    QList<FormatoAttivo> m_formati;
    QString m_home;
    bool m_inPrimoPiano = false;

    QToolButton *m_prima, *m_precedente, *m_successiva, *m_ultima, *m_stampa, *m_esporta;
    QLabel* m_etichetta;
    QComboBox* m_zoom;
};

} // namespace stampa
