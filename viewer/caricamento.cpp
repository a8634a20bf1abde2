// The load of the viewer's main window: from percorso.txt and the job row to the preview
// or the exported file, in the order the main program relies on.

#include "common/controls/dialogs.h"
#include "common/paths.h"
#include "common/text.h"
#include "db/connection.h"
#include "db/error.h"
#include "viewer/anteprima.h"
#include "viewer/errore.h"
#include "viewer/esporta.h"
#include "viewer/form1.h"
#include "viewer/impaginazione.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

namespace stampa {
namespace {

const char* const kDitta =
    "SELECT ditta.RagSoc, ditta.Via, ditta.Numero, ditta.Comune, ditta.Cap, ditta.Tel, "
    "ditta.Fax, ditta.PIva, ditta.CodFisc, ditta.Provincia, ditta.Email, ditta.Cell, "
    "ditta.Internet, ditta.ResponsabileDati, ditta.Logo, ditta.Pec, ditta.AltriDati, "
    "ditta.CodiceSdi FROM ditta";

// The hourglass while the job is read and the report built.
class Clessidra {
public:
    Clessidra() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~Clessidra() { libera(); }
    void libera() {
        if (m_attiva) QApplication::restoreOverrideCursor();
        m_attiva = false;
    }
    void riprendi() {
        if (!m_attiva) QApplication::setOverrideCursor(Qt::WaitCursor);
        m_attiva = true;
    }

private:
    bool m_attiva = true;
};

QString testo(const db::RowStore& s, int c) {
    const std::string_view t = s.text(0, c);
    return QString::fromUtf8(t.data(), qsizetype(t.size()));
}

} // namespace

TForm1::Esito TForm1::FormLoad() {
    Esito esito;
    try {
        esito = carica();
    } catch (const ErroreStampa& e) {
        ui::dialogs().message(this, e.text(), QStringLiteral("Stampa"), ui::MessageIcon::Error);
        esito = Esito::Errore;
    } catch (const db::DatabaseError& e) {
        ui::dialogs().message(this, e.text(), QStringLiteral("Stampa"), ui::MessageIcon::Error);
        esito = Esito::Errore;
    } catch (const std::exception& e) {
        ui::dialogs().message(this, QString::fromLocal8Bit(e.what()), QStringLiteral("Stampa"),
                              ui::MessageIcon::Error);
        esito = Esito::Errore;
    }
    pulisci();
    if (esito != Esito::Mostrato) {
        CRViewer1->setDocumento(nullptr);
        m_documento.reset();
    }
    return esito;
}

void TForm1::pulisci() {
    // The record sets stay: the preview exports from them and the bindings point at them.
    m_globali.connessione = nullptr;
    if (m_connessione) m_connessione->close();
    m_connessione.reset();
}

bool TForm1::leggiLavoro(db::Connection& c) {
    db::RowStore job;
    c.load(QStringLiteral("SELECT * FROM TempStampa where NomeComputer = '") +
               common::QuotaFiltro(common::computerName()) + u'\'',
           job);
    if (job.rowCount() == 0) return false;
    // Each column given replaces its default; a Null one leaves it.
    auto campo = [&](const char* nome) {
        const int col = job.findColumn(QString::fromLatin1(nome));
        return col >= 0 && !job.isNull(0, col) ? col : -1;
    };
    int k;
    if ((k = campo("Esportazione")) >= 0) m_lavoro.esportazione = job.integer(0, k) != 0;
    if ((k = campo("FileEsportazione")) >= 0) m_lavoro.fileEsportazione = testo(job, k);
    if ((k = campo("TipoEsportazione")) >= 0) m_lavoro.tipoEsportazione = int(job.integer(0, k));
    if ((k = campo("PresenzaTestata")) >= 0) m_lavoro.presenzaTestata = job.integer(0, k) != 0;
    if ((k = campo("NomeProgramma")) >= 0) m_lavoro.nomeProgramma = testo(job, k);
    if ((k = campo("NomeReport")) >= 0) m_lavoro.nomeReport = testo(job, k);
    if ((k = campo("Query")) >= 0) m_globali.query = testo(job, k);
    if ((k = campo("Filtro")) >= 0) m_lavoro.filtro = job.integer(0, k) != 0;
    if ((k = campo("Setup")) >= 0) m_lavoro.setup = job.integer(0, k) != 0;
    if ((k = campo("NomeReportLandscape")) >= 0) m_lavoro.nomeReportLandscape = testo(job, k);
    if ((k = campo("Parametro")) >= 0) m_lavoro.parametro = testo(job, k);
    // Sub-reports whose query is given, each with its rows.
    for (int n = 0; n < 7; ++n) {
        k = campo(QStringLiteral("QuerySottoreport%1").arg(n + 1).toLatin1().constData());
        if (k < 0 || testo(job, k).trimmed().isEmpty()) continue;
        db::RowStore righe;
        c.load(testo(job, k), righe);
        m_lavoro.sottoreport[size_t(n)] = true;
        m_sottoreport[size_t(n)] = std::make_unique<RecordSet>(std::move(righe));
    }
    return true;
}

void TForm1::scegliStampante(bool landscape) {
    if (!landscape) {
        m_stampante = std::make_unique<QPrinter>(QPrinter::HighResolution);
        if (m_lavoro.setup) {
            QPrintDialog dialogo(m_stampante.get(), this);
            dialogo.setWindowTitle(QStringLiteral("Imposta stampante"));
            dialogo.setOptions(QAbstractPrintDialog::PrintToFile |
                               QAbstractPrintDialog::PrintShowPageSize);
            ui::dialogs().exec(&dialogo);
        } else {
            const QPrinterInfo predefinita = QPrinterInfo::defaultPrinter();
            if (!predefinita.isNull()) m_stampante->setPrinterName(predefinita.printerName());
        }
    }
    // The landscape layout keeps the printer and paper just chosen; without the set-up
    // that is the default printer.
    m_stampante->setPageOrientation(landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
}

void TForm1::lega() {
    m_legami.clear();
    // Sub-reports are bound only when the first one has a query or the header is present.
    if (!m_lavoro.sottoreport[0] && !m_lavoro.presenzaTestata) {
        for (const QString& nome : m_layout.sottoreport)
            m_legami.push_back({nome, nullptr});
        return;
    }
    int ordinari = 0;
    for (const QString& nome : m_layout.sottoreport) {
        Legame l{nome, nullptr};
        if (nome.left(10) == u"Subreportx") {
            l.righe = m_ditta.get();
        } else if (++ordinari <= 7 && m_lavoro.sottoreport[size_t(ordinari - 1)]) {
            l.righe = m_sottoreport[size_t(ordinari - 1)].get();
        }
        m_legami.push_back(l);
    }
}

TForm1::Esito TForm1::carica() {
    // 1-3. Defaults, percorso.txt, the database it names.
    m_lavoro = Lavoro{};
    m_home = common::homeFolder();
    m_lavoro.fileEsportazione = QDir(m_home).filePath(QStringLiteral("prova"));
    if (!QFileInfo::exists(QDir(m_home).filePath(common::PercorsoFileName.toString())))
        return Esito::Terminato;
    const QString database = common::locateDatabase(m_home, false).path;
    Clessidra clessidra;

    // 4-9. The connection, the company, this computer's job and its sub-reports.
    m_connessione = std::make_unique<db::Connection>();
    m_connessione->open(database);
    m_globali.connessione = m_connessione.get();
    db::RowStore ditta;
    m_connessione->load(QString::fromLatin1(kDitta), ditta);
    m_ditta = std::make_unique<RecordSet>(std::move(ditta));
    if (!leggiLavoro(*m_connessione)) return Esito::Terminato; // no job for this computer
    {
        db::RowStore formati;
        m_connessione->load(QStringLiteral("select * from TipoEsportazioniCrystalReport where "
                                           "Attivo=true Order by Descrizione"),
                            formati);
        const int n = formati.findColumn(QStringLiteral("Numero"));
        const int e = formati.findColumn(QStringLiteral("Estensione"));
        const int d = formati.findColumn(QStringLiteral("Descrizione"));
        for (int r = 0; r < formati.rowCount(); ++r)
            if (formatoDaNumero(int(formati.integer(r, n))))
                m_formati.append({int(formati.integer(r, n)), formati.value(r, e).toString(),
                                  formati.value(r, d).toString()});
    }
    m_globali.confermato = true;

    // 10. The filter window; closed without "Conferma", nothing is shown. Where nobody can
    // answer it, the job fails: ending quietly would pass for a success.
    if (filtroDato) {
        m_globali.filtro = *filtroDato;
    } else if (m_lavoro.filtro) {
        if (!ui::dialogs().canShowWindows())
            throw ErroreStampa(QStringLiteral(
                "Il report richiede la finestra dei filtri, che qui non può essere mostrata: "
                "nessun file è stato scritto. Senza finestre usare stampa --report N "
                "[--filtro TESTO] --pdf PERCORSO."));
        clessidra.libera();
        if (ui::dialogs().exec(frmFiltro) != QDialog::Accepted || !m_globali.confermato)
            return Esito::Terminato;
        clessidra.riprendi();
    }

    // 11. The report's rows.
    db::RowStore righe;
    m_connessione->load(
        QStringLiteral("Select * from (") + m_globali.query + u')' + m_globali.filtro, righe);

    // 12-15. The layout, the printer, the landscape layout when the first one asks for it.
    m_layout = leggiLayout(m_lavoro.nomeReport);
    if (!m_lavoro.esportazione) {
        show();
        raise();
        activateWindow();
        m_inPrimoPiano = true;
    }
    scegliStampante(false);
    if (m_layout.orizzontale) {
        m_layout = leggiLayout(m_lavoro.nomeReportLandscape);
        m_layout.orizzontale = true;
        scegliStampante(true);
    }

    // 16-18. The "Data" parameter, the rows, the sub-reports.
    m_parametroData.reset();
    if (m_layout.haParametro(QStringLiteral("Data"))) m_parametroData = m_lavoro.parametro;
    m_principale = std::make_unique<RecordSet>(std::move(righe), m_layout.calcolati);
    lega();

    // 19. Export and end, or show.
    const int ditte = m_ditta->conteggio();
    const int ragSoc = m_ditta->colonna(QStringLiteral("RagSoc"));
    const QString centro = ditte > 0 && ragSoc >= 0 ? m_ditta->testo(0, ragSoc) : QString();
    std::optional<Formato> formato;
    if (m_lavoro.esportazione) {
        formato = formatoDaNumero(m_lavoro.tipoEsportazione);
        if (!formato)
            throw ErroreStampa(QStringLiteral("Formato di esportazione non previsto: %1")
                                   .arg(m_lavoro.tipoEsportazione));
    }
    if (formato != Formato::CSV) {
        Sorgenti sorgenti;
        sorgenti.principale = m_principale.get();
        sorgenti.sezioni = m_legami;
        sorgenti.parametroData = m_parametroData;
        sorgenti.oggi = oggi;
        QPageSize carta = m_stampante->pageLayout().pageSize();
        if (!carta.isValid()) carta = QPageSize(QPageSize::A4);
        m_documento = std::make_unique<DocumentoStampa>(rendiReport(m_layout, sorgenti), m_layout,
                                                        carta, centro, oggi);
    }
    clessidra.libera();
    if (formato) {
        if (formato == Formato::CSV)
            esportaCsv(*m_principale, m_lavoro.fileEsportazione);
        else
            esporta(*formato, *m_documento, *m_principale, m_lavoro.fileEsportazione);
        return Esito::Esportato;
    }
    CRViewer1->setDocumento(m_documento.get());
    CRViewer1->setZoom(100);
    aggiornaPagina();
    showMaximized();
    return Esito::Mostrato;
}

} // namespace stampa
