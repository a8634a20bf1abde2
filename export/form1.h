#pragma once

#include <QStringList>
#include <QWidget>

class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTextBrowser;

namespace esportazioni {

class Tform_DB;
class TfrmCerca;
class TfrmFiltri;

// "Esportazioni": choose a source among QueryCreazioneStampe, tick its columns, save and
// recall the choice by name, filter, and write the rows to a file.
class TForm1 : public QWidget {
    Q_OBJECT
public:
    explicit TForm1(Tform_DB& dm, QWidget* parent = nullptr);
    ~TForm1() override;

    // The start, run once: percorso.txt in the home folder (missing: a message, and the
    // program must end: false), the help page check, the connection, the sources.
    bool FormActivate();

    QComboBox* DBLookupComboBox1; // "Tabella": the sources by Descrizione
    QLineEdit* txtNomeEsportazione;
    QListWidget* CheckListBox1; // "Campi"
    QPushButton* BitBtn1;       // "Cerca"
    QPushButton* BitBtn2;       // "Salva"
    QPushButton* BitBtn3;       // "Reset"
    QPushButton* BitBtn4;       // "Esporta"
    QPushButton* btnHelp;       // "Aiuto"
    QPushButton* btnEsci;       // "Esci"
    TfrmCerca* frmCerca;
    TfrmFiltri* frmFiltri;

    // Program-wide state.
    QString querySorgente;         // Query of the chosen source
    QString filtro;                // clause built by frmFiltri for the last export
    long long idEsportazione = 0;  // current definition, 0 when none
    bool esportazioneCaricata = false;
    QString percorsoHelp;
    QString ultimoFile; // the file the last export wrote

public Q_SLOTS:
    void DBLookupComboBox1Click();
    void BitBtn1Click();
    void BitBtn2Click();
    void BitBtn3Click();
    void BitBtn4Click();
    void btnHelpClick();
    void btnEsciClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void caricaSorgenti();
    void caricaDefinizione(long long id);
    void avviso(const QString& testo);
    void errore(const QString& testo);
    Tform_DB& m_dm;
    QStringList m_query; // Query of each source, beside DBLookupComboBox1's items
    QTextBrowser* m_aiuto = nullptr;
    bool m_avviato = false;
};

} // namespace esportazioni
