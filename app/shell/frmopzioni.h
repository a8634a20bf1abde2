#pragma once

#include <QDialog>
#include <functional>

class QCheckBox;
class QComboBox;
class QTabWidget;
class QToolButton;
class Tform_DB;
namespace ui {
class DBCheckBox;
class DBEdit;
class DBImage;
class DBLookupComboBox;
class DBMemo;
} // namespace ui

// The program's options (the one row of opzioni) and the centre's logo (Ditta.Logo), on
// three tabs: "   Generale   ", "   Logo   ", " Email ". "Indietro" checks the SMTP login,
// saves both rows and closes; leaving with Escape or the title bar does the same.
class TfrmOpzioni : public QDialog {
    Q_OBJECT
public:
    explicit TfrmOpzioni(Tform_DB& dm, QWidget* parent = nullptr);

    // The database copy path (a file in the folder the folder picker starts from).
    std::function<QString()> cartellaIniziale;

    // Name of the file "Modifica il Logo" hands to the desktop's image editor.
    static QString fileLogo();

    void FormActivate();
    // Checks and saves; false (window stays open) when an SMTP check failed.
    bool spdSalvaClick();
    void spdIndietroClick();
    void spdHelpClick();
    void DBLookupComboBox18Click();
    void DBLookupComboBox18Cleared();
    void spdScegliCartellaClick();
    void spdApriCartellaClick();
    void btnCaricaClick();
    // Loads a picture file as the logo; false (message shown, logo unchanged) when it cannot
    // be read.
    bool caricaLogo(const QString& file);
    void btnAcquisisciClick();
    void btnSalvaImmagineClick();
    void btnCancellaClick();
    void btnModificaLogoClick();

    QTabWidget* PageControl1 = nullptr;
    QWidget* tabGenerale = nullptr;
    QWidget* tabLogo = nullptr;
    QWidget* tabEmail = nullptr;
    QToolButton* spdHelp = nullptr;
    QToolButton* spdSalva = nullptr;
    QToolButton* spdIndietro = nullptr;
    // Generale
    ui::DBLookupComboBox* DBLookupComboBox18 = nullptr; // TipoEsportazione
    ui::DBEdit* DBEdit23 = nullptr;                     // CartellaEsportazioneDocumenti
    QToolButton* spdScegliCartella = nullptr;
    QToolButton* spdApriCartella = nullptr;
    ui::DBEdit* DBEdit1 = nullptr; // PasswordAmministratore
    ui::DBCheckBox* DBCheckBox1 = nullptr; // StampanteDefault
    ui::DBCheckBox* DBCheckBox2 = nullptr; // StampaSchedeNoImmagine
    // Logo
    ui::DBImage* DBImage1 = nullptr;
    QToolButton* btnCarica = nullptr;
    QToolButton* btnAcquisisci = nullptr;
    QToolButton* btnSalvaImmagine = nullptr;
    QToolButton* btnCancella = nullptr;
    QToolButton* btnModificaLogo = nullptr;
    QToolButton* btnRidimensiona = nullptr;
    // Email
    ui::DBEdit* DBEdit2 = nullptr; // SmtpHost
    ui::DBEdit* DBEdit3 = nullptr; // SmtpPorta
    ui::DBEdit* DBEdit4 = nullptr; // SmtpUserName
    ui::DBEdit* DBEdit5 = nullptr; // SmtpPassword
    ui::DBEdit* DBEdit6 = nullptr; // SmtpMittenteEmail
    ui::DBCheckBox* DBCheckBox3 = nullptr; // SmtpAutenticazioneServer
    ui::DBCheckBox* DBCheckBox4 = nullptr; // SmtpCriptato
    QComboBox* cmbSmtpCriptaggioTipo = nullptr;
    ui::DBMemo* DBMemo1 = nullptr; // EmailTestoDefault

protected:
    void showEvent(QShowEvent* event) override;
    void reject() override;

private:
    QWidget* buildGenerale();
    QWidget* buildLogo();
    QWidget* buildEmail();
    QToolButton* addTool(const QString& name, const QString& caption, const QString& icon);
    bool haLogo();

    Tform_DB& m_dm;
};
